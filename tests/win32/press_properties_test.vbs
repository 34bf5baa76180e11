' Every property of NxButton driven by a scripting client: the values of a new control, writes
' read back, read-only members refusing a put, and the rules of the puts (round corners against
' the 3D border both ways, icon offsets clamped, themes applied, special commands of ExProp).
Option Explicit
Dim b, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

Set b = CreateObject("nxpress.NxButton")
' A new button has the silver 3D look without claiming a theme.
Check b.Theme = 0, "new Theme is thmCUSTOM: " & b.Theme
Check b.ColorA = &HFFFFFF And b.ColorB = &H808080, "new face colours of the silver theme"
Check b.HoverColorA = &HFFFFFF And b.HoverColorB = &H909090, "new hover colours"
Check b.ForeColor = &H404040 And b.HoverForecolor = &H404040, "new text colours"
Check b.OutlineColor = &HE0E0E0 And b.HoverOutline = &HFFFFFF, "new outline colours"
Check b.BorderColor = &H404040, "new border colour"
Check b.BorderAppearence = 1 And b.BorderStyle = 1 And b.Outline = 1, "new 3D single border"
Check b.Alignment = 5 And b.IconAlignment = 3, "new alignments"
Check b.GradientStyle = 0 And b.CornerStyle = 0, "new plain face, square corners"
Check b.LightEffect = False And b.BottomLine = False And b.AutoSize = False, "new effects off"
Check b.HandPointer = False And b.CutStyle = 0 And b.CutStrength = 0, "new pointer and cuts"
Check b.IconAdjustX = 0 And b.IconAdjustY = 0, "new icon offsets"
Check b.Enabled = True, "new Enabled"
Dim ic
Set ic = b.Icon
If Not ic Is Nothing Then Check ic.Handle = 0, "new Icon empty"
Check IsEmpty(b.xtrVar), "new xtrVar empty"
Check b.ExProp = "", "new ExProp empty"
Check b = b.Caption, "Caption is the default property"
Check b.hWnd = b.hWnd, "hWnd readable"
Check TypeName(b.Font) <> "Nothing", "Font is a font"

On Error Resume Next
b.hWnd = 5
Check Err.Number <> 0, "hWnd put refused"
Err.Clear
Set b.retObj = Nothing
Check Err.Number <> 0, "retObj put refused"
Err.Clear
On Error GoTo 0

' Writes read back.
b.Caption = "Save && E&xit"
Check b.Caption = "Save && E&xit", "Caption kept as set, with its marks"
b.ColorA = &H123456
Check b.ColorA = &H123456, "ColorA round trip"
b.ForeColor = &H80000012
Check b.ForeColor = &H80000012, "a system colour is kept as set"
b.HoverColorA = &H10
b.HoverColorB = &H20
b.HoverForecolor = &H30
b.HoverOutline = &H40
Check b.HoverColorA = &H10 And b.HoverColorB = &H20 And b.HoverForecolor = &H30 And _
      b.HoverOutline = &H40, "hover colours round trip"
b.Alignment = 8
b.IconAlignment = 1
Check b.Alignment = 8 And b.IconAlignment = 1, "alignments round trip"
b.GradientStyle = 1
b.LightEffect = True
b.BottomLine = True
b.CutStyle = 3
b.CutStrength = 1
b.Outline = 4
Check b.GradientStyle = 1 And b.LightEffect And b.BottomLine And b.CutStyle = 3 And _
      b.CutStrength = 1 And b.Outline = 4, "looks round trip"
b.xtrVar = "anything"
Check b.xtrVar = "anything", "xtrVar round trip"
b.Enabled = False
Check b.Enabled = False, "Enabled round trip"
b.Enabled = True

' Round corners and the 3D border exclude each other, both ways.
b.BorderAppearence = 1
b.CornerStyle = 1
Check b.CornerStyle = 0, "round corners refused on a 3D button"
b.BorderAppearence = 0
b.CornerStyle = 1
Check b.CornerStyle = 1, "round corners on a flat button"
b.BorderAppearence = 1
Check b.CornerStyle = 0, "3D border squares the corners"

' Icon offsets are clamped to +-100.
b.IconAdjustX = 250
b.IconAdjustY = -250
Check b.IconAdjustX = 100 And b.IconAdjustY = -100, "icon offsets clamped: " & b.IconAdjustX & _
      " " & b.IconAdjustY
b.IconAdjustX = -100
Check b.IconAdjustX = -100, "-100 kept"

' Themes: presets 1 to 5; any other value only stored.
b.Theme = 5
Check b.Theme = 5, "Theme 5 read back"
Check b.ColorA = &HFFFFFF And b.ColorB = &HCFD6D9 And b.BorderColor = 0, "office bar colours"
Check b.BorderStyle = 0 And b.Outline = 0 And b.CutStyle = 1 And b.CutStrength = 1, _
      "office bar styles"
Check b.Alignment = 5 And b.IconAlignment = 3 And b.IconAdjustX = 0, "themes centre the caption"
Check b.GradientStyle = 1, "themes leave the gradient style"
b.Theme = 4
Check b.ColorA = &HE0& And b.ForeColor = &H80& And b.BottomLine And b.LightEffect, "candy theme"
b.Theme = 9
Check b.Theme = 9 And b.ColorA = &HE0&, "Theme 9 stored, nothing applied"
b.Theme = -1
Check b.Theme = -1, "a negative Theme stored"

' HandPointer only switches the pointer.
b.HandPointer = True
Check b.HandPointer, "HandPointer round trip"

' Special commands run once and leave ExProp empty.
b.ExProp = "Special=GetImage"
Check b.ExProp = "", "a special command is cleared"
Check Not (b.retObj Is Nothing), "getimage fills retObj"
b.ExProp = "special=fakeclick"
Check b.ExProp = "", "fakeclick cleared"
b.ExProp = "special=unknown"
Check b.ExProp = "", "an unknown command cleared"
b.ExProp = "ttstyle=1"
Check b.ExProp = "ttstyle=1", "tooltip settings kept"

If failures = 0 Then WScript.Echo "DONE"
