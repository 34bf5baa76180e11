' The widgets driven by a scripting client: NxMeter's method with by-reference variables and
' the optional fill left out or given as -1, its property rules, and NxGradFrame's values.
Option Explicit
Dim m, f, x2, y2, failures, failed
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set m = CreateObject("nxwidgets.NxMeter")
' A script has no device context to give: the call reaches the control, which refuses the
' handle with an error, and the by-reference variables come back as they were.
x2 = 10
y2 = 8
On Error Resume Next
m.drawApiRect 0, 1, 2, x2, y2, &HFF&
failed = Err.Number
Err.Clear
m.drawApiRect 0, 1, 2, x2, y2, &HFF&, -1
Check Err.Number <> 0, "drawApiRect with fill -1 on no device context fails"
Err.Clear
m.drawApiRect 0, 1
Check Err.Number <> 0, "drawApiRect with too few arguments fails"
Err.Clear
On Error GoTo 0
Check failed <> 0, "drawApiRect on no device context fails"
Check x2 = 10 And y2 = 8, "by-reference corners unchanged: " & x2 & "," & y2
Check m.Steps = 12, "Steps of a new meter: " & m.Steps
m.Steps = 60
Check m.Steps = 12, "Steps 60 over 0..100 ignored: " & m.Steps
m.Level2StartPc = 100
Check m.Level2StartPc = 90, "Level2StartPc 100 ignored"
m.Value = 50
Check m.Percentage = 50, "Percentage after Value 50: " & m.Percentage
Check m + 0 = 50, "Value is the default property"
m.Max = 100000
On Error Resume Next
m.Steps = 40000
Check Err.Number <> 0, "Steps beyond 16 bits fails"
Err.Clear
On Error GoTo 0
Check m.Steps = 12, "Steps unchanged after the failed put: " & m.Steps

Set f = CreateObject("nxwidgets.NxGradFrame")
Check f.Caption = "Caption", "caption without a host name: " & f.Caption
Check f.CaptionTextCentered = False, "new frame left-aligned"
f.CaptionWidth = -5
Check f.CaptionWidth = 0, "CaptionWidth -5 stores 0"
f.CaptionAlignment = 3
Check f.CaptionAlignment = 3, "CaptionAlignment"
Check f.BorderColor = &H80000011, "BorderColor grey text"
If failures = 0 Then WScript.Echo "DONE"
