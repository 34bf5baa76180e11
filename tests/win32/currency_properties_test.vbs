' Every property of NxEuroBox driven by a scripting client: the values of a new box, writes read
' back, and the rules of the puts (clamped decimals and digits, a symbol of at most three
' characters, the group upper-cased, exact rounding of the amount, Text read-only).
Option Explicit
Dim e, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set e = CreateObject("nxcurrency.NxEuroBox")
Check e.Value = 0, "new Value 0"
Check e = e.Value, "Value is the default property"
Check e.DecimalPlaces = 2 And e.MaxLeftDigits = 9, "new decimals and digits"
' The euro sign: one character (Wine's VBScript has no ChrW to compare it with).
Check Len(e.Symbol) = 1 And e.Symbol <> "?", "new symbol the euro sign"
Check e.Group = "" And e.GroupRole = 0, "new box: empty group, no role"
Check e.BorderStyle = 2 And e.BorderColor = 0, "new 3D border"
Check e.BackColor = &HFFFFFF And e.ForeColor = 0 And e.Symbolcolor = 0, "new colours"
Check e.RedNegatives = True And e.Enabled = True, "new flags"
Check e.ExProp = "", "new ExProp"
Check IsEmpty(e.xtrVar), "new xtrVar empty"
Check e.hWnd = e.hWnd, "hWnd readable"
On Error Resume Next
e.Text = "1"
Check Err.Number <> 0, "Text put refused"
Err.Clear
e.hWnd = 1
Check Err.Number <> 0, "hWnd put refused"
Err.Clear
On Error GoTo 0

' The amount: exact rounding half away from zero to the decimals shown.
e.Value = 1234.565
Check e.Value = 1234.57, "1234.565 reads back as 1234.57: " & e.Value
Check Left(e.Text, 8) = "1.234,57", "formatted with grouping: " & e.Text
e.Value = -1234.565
Check e.Value = -1234.57, "-1234.565 reads back as -1234.57: " & e.Value
e.Value = 0.5
Check e.Value = 0.5, "0.5 kept"
e.DecimalPlaces = 0
Check e.DecimalPlaces = 0, "DecimalPlaces 0"
e.Value = 2.5
Check e.Value = 3, "2.5 with no decimals rounds away from zero: " & e.Value
e.DecimalPlaces = 9
Check e.DecimalPlaces = 4, "DecimalPlaces above 4 becomes 4"
e.DecimalPlaces = -3
Check e.DecimalPlaces = 0, "negative DecimalPlaces becomes 0"
e.DecimalPlaces = 2
e.MaxLeftDigits = 0
Check e.MaxLeftDigits = 1, "MaxLeftDigits below 1 becomes 1"
e.MaxLeftDigits = 99
Check e.MaxLeftDigits = 14, "MaxLeftDigits above 14 becomes 14"

' A Value outside the currency range is an error and changes nothing.
e.Value = 10
On Error Resume Next
e.Value = 1E+300
Check Err.Number <> 0, "a Value beyond the currency range is refused"
Err.Clear
On Error GoTo 0
Check e.Value = 10, "the amount is unchanged after a refused put"

' Symbol: at most three characters.
e.Symbol = "EUR"
Check e.Symbol = "EUR", "EUR accepted"
Check Right(e.Text, 4) = " EUR", "Text ends with the symbol: " & e.Text
e.Symbol = "EURO"
Check e.Symbol = "EUR", "EURO ignored"

' Group stored upper-cased; roles.
e.Group = "totals"
Check e.Group = "TOTALS", "Group upper-cased"
e.GroupRole = 2
Check e.GroupRole = 2, "GroupRole round trip"

' Colours, flags, border.
e.BackColor = &HF0F0F0
e.ForeColor = &H102030
e.Symbolcolor = &H405060
e.BorderColor = &H123456
Check e.BackColor = &HF0F0F0 And e.ForeColor = &H102030 And e.Symbolcolor = &H405060 And _
      e.BorderColor = &H123456, "colours round trip"
e.BackColor = &H80000005
Check e.BackColor = &H80000005, "a system colour is kept as set"
e.BorderStyle = 1
Check e.BorderStyle = 1, "flat border"
e.RedNegatives = False
Check e.RedNegatives = False, "RedNegatives round trip"
e.Enabled = False
Check e.Enabled = False, "Enabled round trip"
e.xtrVar = "memo"
Check e.xtrVar = "memo", "xtrVar round trip"
e.ExProp = "ttstyle=1"
Check e.ExProp = "ttstyle=1", "ExProp round trip"

If failures = 0 Then WScript.Echo "DONE"
