' A scripting client of nxwidgets.NxProgressBar (run with cscript). Prints "FAIL: ..." for
' every check that does not hold, then "DONE".
Option Explicit
Dim failures
failures = 0

Sub Check(ok, what)
  If Not ok Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Dim pb, v
Set pb = CreateObject("nxwidgets.NxProgressBar")

' New-control values.
Check pb.Theme = 1, "Theme of a new control is 1"
Check pb.Min = 0 And pb.Max = 100 And pb.Value = 0, "range 0..100, value 0"
Check pb.Orientation = 0, "a new control is horizontal"
Check pb.BarColor = &H873A00, "corporate bar colour"
Check pb.BorderStyle = 1 And pb.LightStyle = 1 And pb.Appearance = 0, "corporate styles"

' Clamping and ignored puts.
pb.Value = 150
Check pb.Value = 100, "Value clamps to Max"
Check pb.Percentage = 100, "Percentage follows the redraw"
pb.Value = 50
pb.Max = 40
Check pb.Value = 40 And pb.Max = 40, "Max below Value pulls Value down"
pb.Max = 0
Check pb.Max = 40, "Max not above Min is ignored"
pb.Min = 40
Check pb.Min = 0, "Min not below Max is ignored"

' Themes and the reset to custom.
pb.Theme = 4
Check pb.Appearance = 1 And pb.LightStyle = 1, "Mercury 3D styles"
Check pb.BarColor = &HC0, "Mercury bar colour"
pb.BarColor = 65280
Check pb.Theme = 0, "a colour put resets the theme"
pb.Theme = 2
pb.LightStyle = 1
Check pb.Theme = 0, "a style put resets the theme"

' System colours are negative numbers for a script and keep their value.
pb.BackColor = &H8000000F
Check pb.BackColor = &H8000000F, "a system colour as BackColor"

' The default property.
pb.Value = 7
v = pb
Check v = 7, "Value is the default property"

' A put of the wrong type fails with a clear error.
On Error Resume Next
pb.Value = "not a number"
Check Err.Number <> 0, "a text put on Value fails"
Check InStr(1, Err.Description, "mismatch", 1) > 0, "the error says type mismatch: " & Err.Description
Err.Clear
pb.Percentage = 5
Check Err.Number <> 0, "Percentage is read-only"
Err.Clear
On Error GoTo 0

pb.xtrVar = "host data"
Check pb.xtrVar = "host data", "xtrVar keeps what the host put"

If failures = 0 Then WScript.Echo "DONE"
