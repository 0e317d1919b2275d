#REM Klemora scene index template "Compact": a small picture per scene with its
#REM number, recording time and length; eight scenes per row, for long lists.
#REM
#REM Every line with #REM in it is a comment and never reaches the page; empty
#REM lines are dropped too. The line after the comments sets the number of
#REM scenes per row.
#REM Best with pictures of 96 x 72 (or 48 x 36 for very long lists).
#DEFAULTCOLUMNS8
<div style="width:#PREVIEWPICSIZEXpx;font-family:Helvetica,Arial,sans-serif;font-size:10px;line-height:1.3;color:#1f2430;background:#ffffff;border:1px solid #cfd4dd;padding:4px;border-radius:4px" title="#PURESRCFILENAME &ndash; #COMMENT">
#FRAMEBYNUMBER0
<div style="margin-top:2px"><b style="color:#1d3b73">#SCENENUMBER</b> &middot; #PLAYTIME</div>
<div style="color:#6b7385">#DVDATESTAMP</div>
</div>
