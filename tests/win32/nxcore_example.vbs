' Checking and completing VAT numbers from a script with nxcore.dll
' (register it once with: regsvr32 nxcore.dll).
Set vat = CreateObject("nxcore.VatEngine")

' The country's own prefix in the number, or the country given apart (code or index 0..26).
If vat.checkNumber("PT501964843") Then WScript.Echo "PT501964843 is valid"
If Not vat.checkNumber("501964844", "PT") Then WScript.Echo "501964844 is not a valid PT number"

' A "?" (or a missing last character) completed.
WScript.Echo "completed: " & vat.completeNumber("13658743?", "DE")

' Prefix and text normalised in place.
number = " de136587438 "
vat.splitCountryPrefix number, country
WScript.Echo "prefix of " & vat.countryName(country) & " (" & vat.countryCode(country) & "), number " & number

' A whole column at once: an array in, an array of True/False of the same shape out.
results = vat.checkArray(Array("ATU13585627", "ESX1234567", "", "IT00743760597"))
For i = 0 To UBound(results)
  WScript.Echo i & ": " & CStr(results(i))
Next
