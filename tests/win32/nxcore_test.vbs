' nxcore.VatEngine from a scripting client: every member with real values, its errors, arrays of
' one and two dimensions, and a few thousand numbers against "nxvat check --batch".
' Usage: cscript nxcore_test.vbs INPUT VERDICTS
'   INPUT: lines CC<TAB>NUMBER; VERDICTS: nxvat's 1 or 0 for each line of INPUT.
' Prints FAIL lines for what went wrong and DONE when every check passed.
' (Wine's script host reports no script errors: a script that stops early prints no DONE.)
Option Explicit

Const E_INVALIDARG = &H80070057
Const DISP_E_TYPEMISMATCH = &H80020005
Const VB_TYPE_MISMATCH = 13
Const VB_INVALID_ARGUMENT = 5

Dim failures, vat
failures = 0

Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

' An error captured as number and description: either the component's HRESULT or the number the
' script host maps it to, and a description holding `fragment`.
Sub CheckError(number, description, hr, vbNumber, fragment, what)
  Check number = hr Or number = vbNumber, what & ": error " & number & " (" & description & ")"
  Check InStr(description, fragment) > 0, what & ": description [" & description & "] lacks [" & fragment & "]"
End Sub

Set vat = CreateObject("nxcore.VatEngine")

' ---- the country table
Dim i
Check vat.countryCount = 27, "countryCount is " & vat.countryCount
Check vat.countryCode(0) = "AT", "countryCode(0)"
Check vat.countryCode(22) = "PT", "countryCode(22)"
Check vat.countryCode(26) = "SK", "countryCode(26)"
Check vat.countryCode(-1) = "", "countryCode(-1) is empty"
Check vat.countryCode(27) = "", "countryCode(27) is empty"
Check vat.countryIndex("PT") = 22, "countryIndex(PT)"
Check vat.countryIndex("pt") = 22, "countryIndex(pt)"
Check vat.countryIndex("eL") = 8, "countryIndex(eL)"
Check vat.countryIndex("XX") = -1, "countryIndex(XX)"
Check vat.countryIndex("") = -1, "countryIndex of the empty text"
Check vat.countryIndex("PTX") = -1, "countryIndex(PTX)"
For i = 0 To 26
  Check vat.countryIndex(vat.countryCode(i)) = i, "countryIndex(countryCode(" & i & "))"
  Check Len(vat.countryName(i)) > 3 And Len(vat.countryName(i, 1)) > 3, "names of " & i
Next
Check vat.countryName(5) = "Germany", "countryName(5)"
Check vat.countryName(5, 0) = "Germany", "countryName(5, 0)"
Check vat.countryName(5, 1) = "Alemanha", "countryName(5, 1)"
Check vat.countryName(12) = "U.K.", "countryName(12)"
Check vat.countryName(27) = "", "countryName(27) is empty"
Check vat.countryName(-1, 1) = "", "countryName(-1, 1) is empty"
' Portuguese names with accented letters arrive as single UTF-16 characters.
Dim austria, belgium, france
austria = vat.countryName(0, 1)
belgium = vat.countryName(1, 1)
france = vat.countryName(11, 1)
Check Len(austria) = 7 And Mid(austria, 2) = "ustria" And austria <> "Austria", "countryName(0, 1) [" & austria & "]"
Check austria = Chr(193) & "ustria", "countryName(0, 1) begins with A acute"
Check Len(belgium) = 7 And Left(belgium, 1) = "B" And Mid(belgium, 3) = "lgica", "countryName(1, 1)"
Check belgium = "B" & Chr(233) & "lgica", "countryName(1, 1) has e acute"
Check france = "Fran" & Chr(231) & "a", "countryName(11, 1) has c cedilla"

' ---- checkNumber: valid numbers of several states, with the country in each form
Dim valid, invalid, parts, code, number
valid = Array("AT U13585627", "DE 136587438", "DK 13131597", "EL 094901047", "ES 12345678Z", _
              "IT 00743760597", "PL 5260250995", "PT 501964843")
invalid = Array("AT U13585628", "DE 136587439", "DK 13131598", "EL 094901048", "ES 12345678T", _
                "IT 00743760598", "PL 5260250996", "PT 501964844")
For Each number In valid
  parts = Split(number, " ")
  code = parts(0)
  Check vat.checkNumber(parts(1), code), "checkNumber(" & parts(1) & ", " & code & ")"
  Check vat.checkNumber(parts(1), LCase(code)), "checkNumber with the code " & LCase(code)
  Check vat.checkNumber(parts(1), vat.countryIndex(code)), "checkNumber with the index of " & code
  Check vat.checkNumber(code & parts(1)), "checkNumber(" & code & parts(1) & ") by its prefix"
  Check vat.checkNumber("  " & LCase(code) & parts(1) & " "), "prefix in lower case with blanks: " & code
  Check vat.checkNumber(code & parts(1), ""), "an empty country takes the prefix: " & code
  Check vat.checkNumber(code & parts(1), Empty), "an Empty country takes the prefix: " & code
  ' With a country the number is checked as given, as nxvat does: no prefix.
  Check Not vat.checkNumber(code & parts(1), code), "prefixed number with the country " & code
Next
For Each number In invalid
  parts = Split(number, " ")
  Check Not vat.checkNumber(parts(1), parts(0)), "checkNumber(" & parts(1) & ", " & parts(0) & ") is False"
  Check Not vat.checkNumber(parts(0) & parts(1)), "checkNumber(" & parts(0) & parts(1) & ") is False"
Next
Check TypeName(vat.checkNumber("PT501964843")) = "Boolean", "checkNumber gives a Boolean"
Check Not vat.checkNumber("501964843"), "a number without a prefix and without a country is False"
Check Not vat.checkNumber("XX501964843"), "an unknown prefix is False"
Check Not vat.checkNumber(""), "the empty text is False"
Check vat.checkNumber("501964843", 22.0), "a country index as Double"
Check vat.checkNumber(501964843, "PT"), "a number passed as a number"

' ---- completeNumber
Check vat.completeNumber("50196484?", "PT") = "501964843", "completeNumber(50196484?, PT)"
Check vat.completeNumber("50196484", "pt") = "501964843", "completeNumber without its last character"
Check vat.completeNumber("PT50196484?") = "501964843", "completeNumber by the prefix"
Check vat.completeNumber("U1358562?", 0) = "U13585627", "completeNumber with an index"
Check vat.completeNumber("50196484?") = "BG501964847", "completeNumber searching the countries"
Check vat.completeNumber("5019648??", "PT") = "", "two marks cannot be completed"
Check vat.checkNumber(vat.completeNumber("13658743?", "DE"), "DE"), "a completed DE number checks"

' ---- splitCountryPrefix: both arguments come back through their variables
Dim text, index
text = " pt501964843 " : index = 99
vat.splitCountryPrefix text, index
Check text = "501964843" And index = 22, "splitCountryPrefix strips: [" & text & "] " & index
text = " pt501964843 " : index = 99
Call vat.splitCountryPrefix(text, index, False)
Check text = "PT501964843" And index = 22, "splitCountryPrefix without strip: [" & text & "] " & index
Check TypeName(index) = "Long", "the index is a Long"
text = "xx501964843" : index = 99
vat.splitCountryPrefix text, index, True
Check text = "XX501964843" And index = -1, "unknown prefix: [" & text & "] " & index
text = "pt1234" : index = 99
vat.splitCountryPrefix text, index
Check text = "PT1234" And index = -1, "six characters have no prefix: [" & text & "] " & index
text = 123456789 : index = 5
vat.splitCountryPrefix text, index
Check text = "123456789" And TypeName(text) = "String" And index = -1, "a number as the text"

' ---- errors: clear descriptions, and the object goes on working
Dim r, n, d, obj
On Error Resume Next
r = vat.checkNumber("501964843", "XX")
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, E_INVALIDARG, VB_INVALID_ARGUMENT, "unknown country code 'XX'", "checkNumber with XX"
r = vat.checkNumber("501964843", 27)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, E_INVALIDARG, VB_INVALID_ARGUMENT, "index 27", "checkNumber with 27"
r = vat.completeNumber("50196484?", -1)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, E_INVALIDARG, VB_INVALID_ARGUMENT, "index -1", "completeNumber with -1"
r = vat.checkNumber("501964843", Array("PT"))
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "country", "checkNumber with an array as country"
r = vat.checkArray(5)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "1- or 2-dimensional array", "checkArray(5)"
r = vat.checkArray("PT501964843")
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "String", "checkArray of a text"
Set obj = CreateObject("Scripting.Dictionary")
r = vat.checkArray(Array("PT501964843", obj))
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "numbers(1): Object", "an object in the array"
r = vat.checkArray(obj)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "object", "checkArray of an object without a value"
Dim cube(1, 1, 1)
r = vat.checkArray(cube)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, E_INVALIDARG, VB_INVALID_ARGUMENT, "3 dimensions", "a 3-dimensional array"
r = vat.checkArray(Array(Array("PT501964843")))
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "numbers(0): an array", "an array in the array"
r = vat.checkArray(Array("501964843"), "XX")
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, E_INVALIDARG, VB_INVALID_ARGUMENT, "'XX'", "checkArray with XX"
r = vat.completeArray(7)
n = Err.Number : d = Err.Description : Err.Clear
CheckError n, d, DISP_E_TYPEMISMATCH, VB_TYPE_MISMATCH, "array", "completeArray(7)"
text = "PT501964843" : index = 0
vat.splitCountryPrefix text, index, obj
n = Err.Number : d = Err.Description : Err.Clear
Check n <> 0, "splitCountryPrefix with an object as strip fails"
r = vat.noSuchMember(1)
n = Err.Number : Err.Clear
Check n <> 0, "an unknown member fails"
On Error GoTo 0
Check vat.checkNumber("PT501964843"), "the object works after errors"

' ---- checkArray and completeArray: shape, bounds and element kinds
r = vat.checkArray(Array("PT501964843", "PT501964844", Empty, "", "de136587438", 501964843, Null))
Check LBound(r) = 0 And UBound(r) = 6, "1-D bounds " & LBound(r) & " to " & UBound(r)
Check r(0) And Not r(1) And Not r(2) And Not r(3) And r(4) And Not r(5) And Not r(6), "1-D verdicts"
For i = 0 To 6
  Check TypeName(r(i)) = "Boolean", "element " & i & " is a Boolean"
Next
r = vat.checkArray(Array("501964843", 501964843, "PT501964843"), "PT")
Check r(0) And r(1) And Not r(2), "1-D verdicts with a country"
r = vat.checkArray(Array())
Check UBound(r) = -1, "an empty array gives an empty array"

Dim grid(3, 2)
grid(0, 0) = "PT501964843" : grid(3, 0) = "PT501964844"
grid(1, 1) = "ATU13585627" : grid(2, 2) = "DE136587438" : grid(0, 2) = "EL094901048"
r = vat.checkArray(grid)
Check LBound(r, 1) = 0 And UBound(r, 1) = 3 And LBound(r, 2) = 0 And UBound(r, 2) = 2, "2-D bounds"
Dim row, col, want
For row = 0 To 3
  For col = 0 To 2
    want = (row = 0 And col = 0) Or (row = 1 And col = 1) Or (row = 2 And col = 2)
    Check r(row, col) = want And TypeName(r(row, col)) = "Boolean", "2-D verdict (" & row & ", " & col & ")"
  Next
Next

r = vat.completeArray(Array("PT50196484?", "50196484?", Empty, "5019648??"))
Check r(0) = "501964843" And r(1) = "BG501964847" And r(2) = "" And r(3) = "", "completeArray"
r = vat.completeArray(Array("50196484?", "U1358562?"), "PT")
Check r(0) = "501964843" And r(1) = "", "completeArray with a country"

' ---- a few thousand numbers against nxvat check --batch
Dim fso, stream, lines, verdicts, count, all, column, mismatches, line, tab
If WScript.Arguments.Count < 2 Then
  Check False, "usage: nxcore_test.vbs INPUT VERDICTS"
Else
  Set fso = CreateObject("Scripting.FileSystemObject")
  Set stream = fso.OpenTextFile(WScript.Arguments(0), 1)
  lines = Split(stream.ReadAll, vbLf)
  stream.Close
  Set stream = fso.OpenTextFile(WScript.Arguments(1), 1)
  verdicts = Split(stream.ReadAll, vbLf)
  stream.Close
  count = UBound(lines)  ' both files end with a line end: the last piece is empty
  Check count > 1000 And UBound(verdicts) = count, "input of " & count & " lines, " & UBound(verdicts) & " verdicts"
  Dim prefixed, national, table  ' (Wine's script host cannot ReDim a variable declared with ())
  ReDim prefixed(count - 1)
  ReDim national(count - 1)
  ReDim table(count - 1, 1)
  For i = 0 To count - 1
    line = lines(i)
    tab = InStr(line, vbTab)
    prefixed(i) = Left(line, tab - 1) & Mid(line, tab + 1)
    national(i) = Mid(line, tab + 1)
    table(i, 0) = prefixed(i)
  Next
  all = vat.checkArray(prefixed)
  mismatches = 0
  For i = 0 To count - 1
    If all(i) <> (verdicts(i) = "1") Then
      mismatches = mismatches + 1
      If mismatches <= 5 Then Check False, "line " & (i + 1) & " " & prefixed(i) & ": nxvat says " & verdicts(i)
    End If
  Next
  Check mismatches = 0, mismatches & " of " & count & " verdicts differ from nxvat"

  ' The same numbers as the first column of a 2-D array (the second column is empty).
  column = vat.checkArray(table)
  Check UBound(column, 1) = count - 1 And UBound(column, 2) = 1, "bounds of the 2-D result"
  mismatches = 0
  For i = 0 To count - 1
    If column(i, 0) <> (verdicts(i) = "1") Or column(i, 1) Then mismatches = mismatches + 1
  Next
  Check mismatches = 0, mismatches & " verdicts of the 2-D array differ"

  ' Without prefixes, one country per call: the numbers of each country as given.
  Dim country, subset, positions, k, m, part
  For Each country In Array("PT", "DE", "ES", "FR", "NL", "AT")
    m = 0
    For i = 0 To count - 1
      If Left(lines(i), 3) = country & vbTab Then m = m + 1
    Next
    Check m > 20, country & " has " & m & " numbers in the input"
    If m > 0 Then
      ReDim subset(m - 1)
      ReDim positions(m - 1)
      k = 0
      For i = 0 To count - 1
        If Left(lines(i), 3) = country & vbTab Then
          subset(k) = national(i) : positions(k) = i : k = k + 1
        End If
      Next
      part = vat.checkArray(subset, country)
      mismatches = 0
      For k = 0 To m - 1
        If part(k) <> (verdicts(positions(k)) = "1") Then mismatches = mismatches + 1
      Next
      Check mismatches = 0, mismatches & " verdicts for " & country & " differ from nxvat"
    End If
  Next
End If

If failures = 0 Then WScript.Echo "DONE"
