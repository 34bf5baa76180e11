' Every property of NxTracker driven by a scripting client: the values of a new control, writes
' read back, and the acceptance rules of the puts (ranges, strict marker, grid block size,
' trimmed caption).
Option Explicit
Dim t, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set t = CreateObject("nxslider.NxTracker")
Check t.Alignment = 0 And t.Appearence = 1 And t.BorderStyle = 1, "new alignment and border"
Check t.Style = 0 And t.GridStyle = 0 And t.GridBlockSize = 20, "new style and grid"
Check t.MarkerStyle = 0 And t.MarkerValue = 50 And t.MarkerLabel = "", "new marker"
Check t.Value = 0 And t.InitValue = 0 And t.Max = 100 And t.Min = 0, "new range"
Check t.RefreshInterval = 0 And t.Enabled = True And t.Average = False, "new sampling"
Check t.BackColorTop = 0 And t.BackColorBottom = &H3300& And t.ForeColor = &HFFFFFF, _
      "new background and caption colours"
Check t.LineColor = &HFF00& And t.AverageColor = &H8080& And t.GridColor = &H3300& And _
      t.MarkerColor = &H80&, "new series colours"
' Tahoma, 6 points, bold (a machine without Tahoma names the face it substitutes).
Check t.MarkerFont.Bold And t.MarkerFont.Size = 6, "new marker font 6 points bold"
Check t = t.Value, "Value is the default property"
Check IsEmpty(t.xtrVar), "new xtrVar empty"
Check t.hwnd = t.hwnd, "hwnd readable"
On Error Resume Next
t.hwnd = 5
Check Err.Number <> 0, "hwnd put refused"
Err.Clear
On Error GoTo 0

' Value and InitValue within Min..Max.
t.Value = 100
Check t.Value = 100, "Value = Max accepted"
t.Value = 101
Check t.Value = 100, "Value above Max ignored"
t.Value = -1
Check t.Value = 100, "Value below Min ignored"
t.InitValue = 40
Check t.InitValue = 40, "InitValue accepted"
t.InitValue = 400
Check t.InitValue = 40, "InitValue above Max ignored"
' Min < Max always.
t.Max = 0
Check t.Max = 100, "Max = Min ignored"
t.Min = 100
Check t.Min = 0, "Min = Max ignored"
t.Max = 200
t.Min = -50
Check t.Max = 200 And t.Min = -50, "range moved"
' MarkerValue strictly inside.
t.MarkerValue = 200
Check t.MarkerValue = 50, "MarkerValue = Max ignored"
t.MarkerValue = -50
Check t.MarkerValue = 50, "MarkerValue = Min ignored"
t.MarkerValue = 199
Check t.MarkerValue = 199, "MarkerValue inside accepted"
' GridBlockSize 5..50.
t.GridBlockSize = 4
Check t.GridBlockSize = 20, "GridBlockSize 4 ignored"
t.GridBlockSize = 51
Check t.GridBlockSize = 20, "GridBlockSize 51 ignored"
t.GridBlockSize = 5
Check t.GridBlockSize = 5, "GridBlockSize 5 accepted"
t.GridBlockSize = 50
Check t.GridBlockSize = 50, "GridBlockSize 50 accepted"
' RefreshInterval: negative becomes 0.
t.RefreshInterval = 250
Check t.RefreshInterval = 250, "RefreshInterval stored"
t.RefreshInterval = -5
Check t.RefreshInterval = 0, "negative RefreshInterval becomes 0"
' Caption stored trimmed.
t.Caption = "  Load  "
Check t.Caption = "Load", "Caption trimmed: [" & t.Caption & "]"
' Looks read back.
t.Style = 3
t.GridStyle = 3
t.MarkerStyle = 3
t.Alignment = 8
t.Appearence = 0
t.BorderStyle = 0
t.Average = True
Check t.Style = 3 And t.GridStyle = 3 And t.MarkerStyle = 3 And t.Alignment = 8 And _
      t.Appearence = 0 And t.BorderStyle = 0 And t.Average, "looks round trip"
t.MarkerLabel = "limit"
Check t.MarkerLabel = "limit", "MarkerLabel round trip"
t.LineColor = &H80000012
Check t.LineColor = &H80000012, "a system colour is kept as set"
t.BackColorTop = &H102030
t.BackColorBottom = &H405060
t.ForeColor = 1
t.AverageColor = 2
t.GridColor = 3
t.MarkerColor = 4
Check t.BackColorTop = &H102030 And t.BackColorBottom = &H405060 And t.ForeColor = 1 And _
      t.AverageColor = 2 And t.GridColor = 3 And t.MarkerColor = 4, "colours round trip"
t.xtrVar = 12
Check t.xtrVar = 12, "xtrVar round trip"
t.Enabled = False
Check t.Enabled = False, "Enabled round trip"

If failures = 0 Then WScript.Echo "DONE"
