' Every property of NxVATNumber driven by a scripting client: the values of a new box, writes read
' back, and the rules of the puts (the code upper-cased and checked against the country table,
' a known code clearing the number, the names in both languages, read-only members refused).
Option Explicit
Dim v, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set v = CreateObject("nxtaxid.NxVATNumber")
Check v.VatCountry = "AT", "new code AT: " & v.VatCountry
Check v.vatNr = "", "new number empty"
Check v.Valid = False, "Valid False until a validation ran"
Check v.Enabled = True And v.CountrySelect = True, "new: enabled, country list on"
Check v.TypeCheck = False And v.FindNumber = True, "new: no check while typing, completion on"
Check v.Language = 0, "new language English"
Check v.ForeColor = 0 And v.BackColor = &HFFFFFF And v.BorderColor = 0, "new colours"
Check v.FocusBorder = &HB7A49E, "new focus border"
Check v.BadVatColor = 255 And v.GoodVatColor = &HFF0000, "new validation colours"
Check v.EuroCountry = "Austria", "EuroCountry of AT: " & v.EuroCountry
Check IsEmpty(v.xtrVar), "new xtrVar empty"
Check v.hWnd = v.hWnd, "hWnd readable"

On Error Resume Next
v.Valid = True
Check Err.Number <> 0, "Valid put refused"
Err.Clear
v.EuroCountry = "x"
Check Err.Number <> 0, "EuroCountry put refused"
Err.Clear
v.hWnd = 1
Check Err.Number <> 0, "hWnd put refused"
Err.Clear
On Error GoTo 0

' The code: upper-cased; a known code clears the number; an unknown one changes nothing.
v.vatNr = "U12345678"
Check v.vatNr = "U12345678", "vatNr put read back"
v.VatCountry = "de"
Check v.VatCountry = "DE", "de shown as DE: " & v.VatCountry
Check v.vatNr = "", "a known code clears the number"
Check v.EuroCountry = "Germany", "EuroCountry of DE: " & v.EuroCountry
v.vatNr = "136695976"
v.VatCountry = "XX"
Check v.VatCountry = "DE", "XX ignored"
Check v.vatNr = "136695976", "XX leaves the number"

' Names in Portuguese: the accented letter is one character.
v.Language = 1
Check v.Language = 1, "Language NX_PT"
v.VatCountry = "BE"
Check Left(v.EuroCountry, 1) = "B" And Mid(v.EuroCountry, 3) = "lgica", "BE in Portuguese: " & v.EuroCountry
Check Len(v.EuroCountry) = 7, "the accented letter is one character: " & Len(v.EuroCountry)
v.VatCountry = "DE"
Check v.EuroCountry = "Alemanha", "DE in Portuguese: " & v.EuroCountry
v.Language = 0

' Colours and flags read back.
v.ForeColor = &H123456
v.BackColor = &HF0F0F0
v.BorderColor = &H808080
v.FocusBorder = &HFF
v.BadVatColor = &H80
v.GoodVatColor = &H8000
Check v.ForeColor = &H123456 And v.BackColor = &HF0F0F0 And v.BorderColor = &H808080, "colours"
Check v.FocusBorder = &HFF And v.BadVatColor = &H80 And v.GoodVatColor = &H8000, "more colours"
v.BackColor = &H8000000F
Check v.BackColor = &H8000000F, "a system colour kept as given"
v.TypeCheck = True
v.FindNumber = False
v.CountrySelect = False
Check v.TypeCheck = True And v.FindNumber = False And v.CountrySelect = False, "flags"
v.xtrVar = "tag"
Check v.xtrVar = "tag", "xtrVar string"
v.xtrVar = 42
Check v.xtrVar = 42, "xtrVar number"

' With TypeCheck every change validates: a valid Austrian number, then an invalid one.
v.VatCountry = "AT"
v.vatNr = "U13585627"
Check v.Valid = True, "U13585627 valid for AT"
v.vatNr = "U13585626"
Check v.Valid = False, "U13585626 invalid for AT"
v.Enabled = False
Check v.Enabled = False, "Enabled False"

If failures = 0 Then WScript.Echo "DONE"
