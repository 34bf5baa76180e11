' Every property of the five nxwidgets classes driven by a scripting client: the values of a new
' control, a write read back, the read-only ones refusing a put, and the rules of the puts
' (clamps, ignored puts, normalisation, theme reset).
Option Explicit
Dim p, c, h, m, f, fnt, failures
failures = 0
Sub Check(cond, what)
  If Not cond Then
    WScript.Echo "FAIL: " & what
    failures = failures + 1
  End If
End Sub

' ---- NxProgressBar ----
Set p = CreateObject("nxwidgets.NxProgressBar")
Check p.Theme = 1, "bar: new Theme " & p.Theme
Check p.BarColor = &H873A00 And p.BackColor = &HDED9D8 And p.LightColor = &HFFFFFF And _
      p.BorderColor = &HC9A08D, "bar: new colours of the corporate theme"
Check p.Appearance = 0 And p.BorderStyle = 1 And p.LightStyle = 1, "bar: new styles of theme 1"
Check p.Orientation = 0, "bar: a new bar is horizontal"
Check p.Min = 0 And p.Max = 100 And p.Value = 0, "bar: new range and value"
Check IsEmpty(p.xtrVar), "bar: new xtrVar empty"
Check Not (p.Image Is Nothing), "bar: Image is a picture"
Check p.hWnd = p.hWnd, "bar: hWnd readable"
On Error Resume Next
p.hWnd = 5
Check Err.Number <> 0, "bar: hWnd put refused"
Err.Clear
p.Percentage = 5
Check Err.Number <> 0, "bar: Percentage put refused"
Err.Clear
Set p.Image = Nothing
Check Err.Number <> 0, "bar: Image put refused"
Err.Clear
On Error GoTo 0

' Themes set every colour and style; a theme outside 1-5 and thmCUSTOM apply nothing.
p.Theme = 2
Check p.Theme = 2, "bar: Theme 2 read back"
Check p.BarColor = &H8D918E And p.BackColor = &HEBF2ED And p.LightColor = &HFFFFFF And _
      p.BorderColor = &H979F8F, "bar: theme 2 colours"
Check p.Appearance = 0 And p.BorderStyle = 1 And p.LightStyle = 0, "bar: theme 2 styles"
p.BarColor = &H123456
Check p.BarColor = &H123456, "bar: BarColor round trip"
Check p.Theme = 0, "bar: BarColor resets Theme 2 to 0: " & p.Theme
Check p.BackColor = &HEBF2ED, "bar: other colours kept after the reset"
p.Theme = 4
Check p.BarColor = &HC0& And p.BackColor = &HE0DFD7 And p.BorderColor = 0, "bar: theme 4 colours"
Check p.Appearance = 1 And p.BorderStyle = 1 And p.LightStyle = 1, "bar: theme 4 3D tube"
p.Theme = 0
Check p.Theme = 0 And p.BarColor = &HC0&, "bar: Theme 0 stores 0 and applies nothing"
p.Theme = 3
Check p.BarColor = &HAAFF& And p.BackColor = &HC9E9FF And p.LightColor = &HE0FFFF And _
      p.BorderColor = &H808080, "bar: theme 3 colours"
p.Theme = 5
Check p.BarColor = &H509929 And p.BackColor = &HF4FFEE And p.Appearance = 1 And _
      p.LightStyle = 0, "bar: theme 5"
p.Theme = 9
Check p.Theme = 9 And p.BarColor = &H509929, "bar: Theme 9 stored, nothing applied"
p.Theme = 1
p.BackColor = &H8000000F
Check p.BackColor = &H8000000F, "bar: system colour BackColor: " & Hex(p.BackColor)
Check p.Theme = 0, "bar: BackColor resets the theme"
p.Theme = 1
p.LightColor = &H80000005
Check p.LightColor = &H80000005 And p.Theme = 0, "bar: LightColor round trip and reset"
p.Theme = 1
p.BorderColor = &HFF00&
Check p.BorderColor = &HFF00& And p.Theme = 0, "bar: BorderColor round trip and reset"
p.Theme = 1
p.Appearance = 1
Check p.Appearance = 1 And p.Theme = 0, "bar: Appearance round trip and reset"
p.Theme = 1
p.BorderStyle = 0
Check p.BorderStyle = 0 And p.Theme = 0, "bar: BorderStyle round trip and reset"
p.Theme = 1
p.LightStyle = 0
Check p.LightStyle = 0 And p.Theme = 0, "bar: LightStyle round trip and reset"
p.Theme = 2
p.Orientation = 1
Check p.Orientation = 1, "bar: Orientation round trip"
Check p.Theme = 2, "bar: Orientation keeps the theme"
p.Orientation = 0

' Range and value: clamped, Min < Max kept.
p.Value = 50
Check p.Value = 50 And p + 0 = 50, "bar: Value 50 and the default property"
p.Value = 150
Check p.Value = 100, "bar: Value 150 clamped to Max: " & p.Value
p.Value = -20
Check p.Value = 0, "bar: Value -20 clamped to Min: " & p.Value
p.Value = 50
p.Max = 40
Check p.Max = 40 And p.Value = 40, "bar: Max 40 lowers Value 50: " & p.Value
p.Max = 0
Check p.Max = 40, "bar: Max equal to Min ignored: " & p.Max
p.Max = -10
Check p.Max = 40, "bar: Max below Min ignored"
p.Min = 40
Check p.Min = 0, "bar: Min equal to Max ignored: " & p.Min
p.Min = 90
Check p.Min = 0, "bar: Min above Max ignored"
p.Value = 5
p.Min = 10
Check p.Min = 10 And p.Value = 10, "bar: Min 10 raises Value 5: " & p.Value
p.Min = -30
Check p.Min = -30 And p.Value = 10, "bar: negative Min accepted, Value kept"
p.Max = 200000
Check p.Max = 200000, "bar: Max beyond 16 bits"
p.Value = 150000
Check p.Value = 150000, "bar: Value beyond 16 bits"
p.xtrVar = "order 17"
Check p.xtrVar = "order 17", "bar: xtrVar string"
p.xtrVar = 3.5
Check p.xtrVar = 3.5, "bar: xtrVar number"

' ---- NxCheckBox ----
Set c = CreateObject("nxwidgets.NxCheckBox")
Check Not (c.Font Is Nothing), "NxCheckBox: a control created without a host has a font"
Check c.ExProp = "", "box: new ExProp empty"
Check c.Style = 0 And c.Alignment = 0, "box: new Style and Alignment"
Check c.Caption = "Caption", "box: new caption: " & c.Caption
Check c.Maskcolor = &HC0C0C0, "box: new Maskcolor " & Hex(c.Maskcolor)
Check c.UseMaskColor = False And c.AutoSize = False And c.FocusRect = True, "box: new flags"
Check c.HoverFX = False And c.HoverBold = False And c.HoverUnderline = False, "box: new hover flags"
Check c.HoverColor = 0, "box: new HoverColor " & Hex(c.HoverColor)
Check c.Value = 0 And c.Enabled = True And IsEmpty(c.xtrVar), "box: new Value, Enabled, xtrVar"
Check c.hWnd = c.hWnd, "box: hWnd readable"
On Error Resume Next
c.hWnd = 1
Check Err.Number <> 0, "box: hWnd put refused"
Err.Clear
On Error GoTo 0
c.ExProp = "ttstyle=balloon;tticon=info;tttitle=Note"
Check c.ExProp = "ttstyle=balloon;tticon=info;tttitle=Note", "box: ExProp round trip"
c.ExProp = "garbage;;=x=y"
Check c.ExProp = "garbage;;=x=y", "box: ExProp kept as written, malformed pieces and all"
c.Caption = "Pay  by  card "
Check c.Caption = "Pay  by  card ", "box: Caption kept untrimmed"
c.Caption = ""
Check c.Caption = "", "box: empty Caption"
c.Alignment = 1
Check c.Alignment = 1, "box: Alignment right"
Set fnt = CreateObject("StdFont")
fnt.Name = "Arial"
fnt.Size = 14
fnt.Bold = True
Set c.Font = fnt
Check Not (c.Font Is Nothing), "box: Font set"
If Not (c.Font Is Nothing) Then
  Check c.Font.Bold = True And c.Font.Size = fnt.Size, "box: Font read back"
End If
c.BackColor = &H8000000F
Check c.BackColor = &H8000000F, "box: BackColor system colour " & Hex(c.BackColor)
c.BackColor = &HFFEEDD
Check c.BackColor = &HFFEEDD, "box: BackColor RGB"
c.ForeColor = &H80000008
Check c.ForeColor = &H80000008, "box: ForeColor system colour"
c.ForeColor = &HFF&
Check c.ForeColor = &HFF&, "box: ForeColor RGB"
c.Maskcolor = &H80000005
Check c.Maskcolor = &H80000005, "box: Maskcolor kept as set"
c.UseMaskColor = True
Check c.UseMaskColor = True, "box: UseMaskColor"
c.AutoSize = True
Check c.AutoSize = True, "box: AutoSize"
c.FocusRect = False
Check c.FocusRect = False, "box: FocusRect"
c.HoverFX = True
Check c.HoverFX = True, "box: HoverFX on"
c.HoverFX = False
Check c.HoverFX = False, "box: HoverFX off"
c.HoverBold = True
Check c.HoverBold = True, "box: HoverBold"
c.HoverUnderline = True
Check c.HoverUnderline = True, "box: HoverUnderline"
c.HoverColor = &H80000012
Check c.HoverColor = &H80000012, "box: HoverColor kept as set"
c.Enabled = False
Check c.Enabled = False, "box: Enabled off"
c.Enabled = True
Check c.Enabled = True, "box: Enabled on"
c.xtrVar = 42
Check c.xtrVar = 42, "box: xtrVar"

' Value normalisation per Style; a Style put moves -1 and 0 silently.
c.Value = 5
Check c.Value = 1 And c + 0 = 1, "box: normal 5 stores 1: " & c.Value
c.Value = -3
Check c.Value = 0, "box: normal -3 stores 0: " & c.Value
c.Style = 2
Check c.Style = 2, "box: Style tri-state"
c.Value = -7
Check c.Value = -1, "box: tri-state -7 stores -1: " & c.Value
c.Value = 0
Check c.Value = 0, "box: tri-state 0 stays 0"
c.Value = 32767
Check c.Value = 1, "box: tri-state 32767 stores 1"
c.Value = -1
c.Style = 0
Check c.Style = 0 And c.Value = 0, "box: Style normal turns -1 into 0: " & c.Value
c.Style = 1
Check c.Style = 1 And c.Value = -1, "box: Style yes/no turns 0 into -1: " & c.Value
c.Value = 0
Check c.Value = -1, "box: yes/no 0 stores -1: " & c.Value
c.Value = 3
Check c.Value = 1, "box: yes/no 3 stores 1"
c.Style = 2
Check c.Value = 1, "box: Style tri-state keeps 1"
On Error Resume Next
c.Value = 40000
Check Err.Number <> 0, "box: Value beyond 16 bits fails"
Err.Clear
On Error GoTo 0
Check c.Value = 1, "box: Value unchanged after the failed put"

' ---- NxHyperLink ----
Set h = CreateObject("nxwidgets.NxHyperLink")
Check h.ExProp = "" And h.Caption = "Caption" And h & "" = "Caption", "link: new caption, default property"
Check h.Alignment = 0 And h.URL = "about:blank", "link: new Alignment and URL " & h.URL
Check h.BackColor = &H8000000F And h.ForeColor = &HFF0000 And h.Maskcolor = &HC0C0C0 And _
      h.MouseOverColor = &HFF0000, "link: new colours"
Check h.UseMaskColor = False And h.AutoSize = False And h.Enabled = True, "link: new flags"
Check IsEmpty(h.xtrVar), "link: new xtrVar empty"
Check Not (h.Font Is Nothing) And Not (h.MouseOverFont Is Nothing), "link: new fonts present"
If Not (h.MouseOverFont Is Nothing) Then
  Check h.MouseOverFont.Underline = True, "link: MouseOverFont underlined"
End If
Check h.hWnd = h.hWnd, "link: hWnd readable"
On Error Resume Next
h.hWnd = 1
Check Err.Number <> 0, "link: hWnd put refused"
Err.Clear
On Error GoTo 0
h.ExProp = "ttstyle=balloon;tticon=2;tttitle=Hello"
Check h.ExProp = "ttstyle=balloon;tticon=2;tttitle=Hello", "link: ExProp round trip"
h.Caption = "Open the  order"
Check h.Caption = "Open the  order" And h & "" = "Open the  order", "link: Caption round trip"
h.Caption = ""
Check h.Caption = "", "link: empty Caption"
h.Alignment = 2
Check h.Alignment = 2, "link: Alignment centred"
h.Alignment = 1
Check h.Alignment = 1, "link: Alignment right"
Set fnt = CreateObject("StdFont")
fnt.Name = "Arial"
fnt.Size = 11
fnt.Italic = True
Set h.Font = fnt
Check h.Font Is fnt, "link: Font held by reference"
Check h.Font.Italic = True And h.Font.Size = fnt.Size, "link: Font read back"
Set fnt = CreateObject("StdFont")
fnt.Name = "Arial"
fnt.Bold = True
Set h.MouseOverFont = fnt
Check h.MouseOverFont Is fnt, "link: MouseOverFont held by reference"
Check h.MouseOverFont.Bold = True And h.MouseOverFont.Underline = False, "link: MouseOverFont"
Check h.Font.Italic = True And h.Font.Bold = False, "link: Font kept apart from MouseOverFont"
h.BackColor = &HEEEEEE
Check h.BackColor = &HEEEEEE, "link: BackColor RGB"
h.BackColor = &H80000005
Check h.BackColor = &H80000005, "link: BackColor kept as set"
h.ForeColor = &H80000012
Check h.ForeColor = &H80000012, "link: ForeColor system colour"
h.Maskcolor = &HFF00FF
Check h.Maskcolor = &HFF00FF, "link: Maskcolor"
h.UseMaskColor = True
Check h.UseMaskColor = True, "link: UseMaskColor"
h.AutoSize = True
Check h.AutoSize = True, "link: AutoSize"
h.MouseOverColor = &H8000000D
Check h.MouseOverColor = &H8000000D, "link: MouseOverColor system colour"
h.URL = "https://example.org/orders?id=17&view=full#top"
Check h.URL = "https://example.org/orders?id=17&view=full#top", "link: URL round trip"
h.URL = "   "
Check h.URL = "   ", "link: URL of blanks kept untrimmed"
h.URL = ""
Check h.URL = "", "link: empty URL"
h.Enabled = False
Check h.Enabled = False, "link: Enabled off"
h.Enabled = True
Check h.Enabled = True, "link: Enabled on"
h.xtrVar = "tag"
Check h.xtrVar = "tag", "link: xtrVar"

' ---- NxMeter ----
Set m = CreateObject("nxwidgets.NxMeter")
Check m.ColorOff = &H404040 And m.ColorL0 = &HC000& And m.ColorL1 = &HC0C0& And _
      m.ColorL2 = &HC0& And m.BackColor = 0, "meter: new colours"
Check m.Appearance = 0 And m.BorderStyle = 0 And m.Orientation = 1, "meter: new styles"
Check m.Steps = 12 And m.Level1StartPc = 70 And m.Level2StartPc = 90, "meter: new steps and zones"
Check m.Min = 0 And m.Max = 100 And m.Value = 0 And m.Percentage = 0, "meter: new range"
Check IsEmpty(m.xtrVar) And Not (m.Image Is Nothing), "meter: new xtrVar, Image"
Check m.hWnd = m.hWnd, "meter: hWnd readable"
On Error Resume Next
m.hWnd = 1
Check Err.Number <> 0, "meter: hWnd put refused"
Err.Clear
m.Percentage = 1
Check Err.Number <> 0, "meter: Percentage put refused"
Err.Clear
On Error GoTo 0
m.ColorOff = &H8000000F
Check m.ColorOff = &H8000000F, "meter: ColorOff system colour"
m.ColorL0 = &H10203
Check m.ColorL0 = &H10203, "meter: ColorL0"
m.ColorL1 = &H80000011
Check m.ColorL1 = &H80000011, "meter: ColorL1 system colour"
m.ColorL2 = &HFF&
Check m.ColorL2 = &HFF&, "meter: ColorL2"
m.BackColor = &H8000000F
Check m.BackColor = &H8000000F, "meter: BackColor system colour"
m.Appearance = 1
Check m.Appearance = 1, "meter: Appearance"
m.BorderStyle = 1
Check m.BorderStyle = 1, "meter: BorderStyle"
m.Orientation = 0
Check m.Orientation = 0, "meter: Orientation"
m.Orientation = 1
m.Steps = 50
Check m.Steps = 50, "meter: Steps 50 of 0..100 accepted"
m.Steps = 51
Check m.Steps = 50, "meter: Steps 51 of 0..100 ignored: " & m.Steps
m.Steps = 10
m.Level1StartPc = 0
Check m.Level1StartPc = 70, "meter: Level1StartPc 0 ignored"
m.Level1StartPc = 90
Check m.Level1StartPc = 70, "meter: Level1StartPc equal to Level2StartPc ignored"
m.Level1StartPc = 40
Check m.Level1StartPc = 40, "meter: Level1StartPc 40"
m.Level2StartPc = 40
Check m.Level2StartPc = 90, "meter: Level2StartPc equal to Level1StartPc ignored"
m.Level2StartPc = 99
Check m.Level2StartPc = 99, "meter: Level2StartPc 99"
m.Level2StartPc = 100
Check m.Level2StartPc = 99, "meter: Level2StartPc 100 ignored"
m.Level2StartPc = 60
Check m.Level2StartPc = 60, "meter: Level2StartPc 60"
m.Value = 25
Check m.Value = 25 And m + 0 = 25 And m.Percentage = 25, "meter: Value 25, Percentage"
m.Value = 150
Check m.Value = 100 And m.Percentage = 100, "meter: Value 150 clamped: " & m.Value
m.Value = -5
Check m.Value = 0 And m.Percentage = 0, "meter: Value -5 clamped: " & m.Value
m.Value = 50
m.Max = 40
Check m.Max = 40 And m.Value = 40, "meter: Max 40 lowers Value: " & m.Value
m.Max = 0
Check m.Max = 40, "meter: Max equal to Min ignored"
m.Min = 40
Check m.Min = 0, "meter: Min equal to Max ignored"
m.Steps = 21
Check m.Steps = 10, "meter: Steps 21 over 0..40 ignored: " & m.Steps
m.Steps = 20
Check m.Steps = 20, "meter: Steps 20 over 0..40 accepted"
m.Value = 5
m.Min = 20
Check m.Min = 20 And m.Value = 20, "meter: Min 20 raises Value: " & m.Value
m.Value = 30
Check m.Percentage = 50, "meter: Percentage over 20..40: " & m.Percentage
m.xtrVar = "level"
Check m.xtrVar = "level", "meter: xtrVar"

' ---- NxGradFrame ----
Set f = CreateObject("nxwidgets.NxGradFrame")
Check Not (f.Font Is Nothing), "NxGradFrame: a control created without a host has a font"
Check f.Caption = "Caption" And f.CaptionAlignment = 0, "frame: new caption"
Check f.CaptionTextCentered = False And f.CaptionWidth = 0 And f.CaptionHeight = 0, "frame: new tab"
Check f.Enabled = True And f + 0 = True, "frame: new Enabled, the default property"
Check f.Appearance = 1 And f.BorderStyle = 1 And f.Orientation = 1, "frame: new styles"
Check f.BorderColor = &H80000011 And f.ForeColor = 0 And f.ColorA = &HBBAD9C And _
      f.ColorB = &HFFFFFF, "frame: new colours"
Check IsEmpty(f.xtrVar), "frame: new xtrVar"
Check f.hWnd = f.hWnd, "frame: hWnd readable"
On Error Resume Next
f.hWnd = 1
Check Err.Number <> 0, "frame: hWnd put refused"
Err.Clear
On Error GoTo 0
Set fnt = CreateObject("StdFont")
fnt.Name = "Arial"
fnt.Size = 12
fnt.Underline = True
Set f.Font = fnt
Check Not (f.Font Is Nothing), "frame: Font set"
If Not (f.Font Is Nothing) Then
  Check f.Font.Underline = True And f.Font.Size = fnt.Size, "frame: Font read back"
End If
f.Caption = "Options & more"
Check f.Caption = "Options & more", "frame: Caption round trip"
f.Caption = ""
Check f.Caption = "", "frame: empty Caption"
f.CaptionAlignment = 3
Check f.CaptionAlignment = 3, "frame: CaptionAlignment 3"
f.CaptionAlignment = 1
Check f.CaptionAlignment = 1, "frame: CaptionAlignment 1"
f.CaptionTextCentered = True
Check f.CaptionTextCentered = True, "frame: CaptionTextCentered"
f.CaptionWidth = 2000
Check f.CaptionWidth = 2000, "frame: CaptionWidth 2000"
f.CaptionWidth = -5
Check f.CaptionWidth = 0, "frame: CaptionWidth -5 stores 0"
f.CaptionHeight = 450
Check f.CaptionHeight = 450, "frame: CaptionHeight 450"
f.CaptionHeight = -1
Check f.CaptionHeight = 0, "frame: CaptionHeight -1 stores 0"
f.Enabled = False
Check f.Enabled = False, "frame: Enabled off"
Check f + 0 = False, "frame: default property follows Enabled"
f.Enabled = True
Check f.Enabled = True, "frame: Enabled on"
f.Appearance = 0
Check f.Appearance = 0, "frame: Appearance flat"
f.BorderStyle = 0
Check f.BorderStyle = 0, "frame: BorderStyle none"
f.BorderColor = &HFF&
Check f.BorderColor = &HFF&, "frame: BorderColor"
f.ForeColor = &H80000012
Check f.ForeColor = &H80000012, "frame: ForeColor system colour"
f.ColorA = &H8000000F
Check f.ColorA = &H8000000F, "frame: ColorA system colour"
f.ColorB = &H8000000F
Check f.ColorB = &H8000000F, "frame: ColorB equal to ColorA"
f.Orientation = 0
Check f.Orientation = 0, "frame: Orientation"
f.xtrVar = 7
Check f.xtrVar = 7, "frame: xtrVar"

If failures = 0 Then WScript.Echo "DONE"
