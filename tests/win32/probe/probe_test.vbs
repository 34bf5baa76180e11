' The probe driven by a scripting client: a method with a by-reference variable and an
' optional argument left out, properties by name, the default property.
Option Explicit
Dim p, total, ok, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set p = CreateObject("nxprobe.NxProbe")
total = 10
ok = p.Add(3, total)
Check ok = True, "Add returns True"
Check total = 13, "by-reference total after Add(3, total): " & total
ok = p.Add(2, total, 5)
Check total = 23, "by-reference total after Add(2, total, 5): " & total
p.Caption = "Save &As"
Check p.Caption = "Save &As", "Caption round trip"
p.Value = 42
Check p + 0 = 42, "default property read"
Check p.FormControls = -1, "no form without a host: " & p.FormControls
If failures = 0 Then WScript.Echo "DONE"
