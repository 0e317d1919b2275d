#REM Klemora scene index template "Standard": one picture from the middle of each
#REM scene with the scene's main data below it. Three scenes per row.
#REM
#REM Every line with #REM in it is a comment and never reaches the page; empty
#REM lines are dropped too. The line after the comments sets the number of
#REM scenes per row.
#REM A picture placeholder takes a number right after it (percent of the scene,
#REM or frames from its start); end the number with a blank, "<", "&", "_", "."
#REM or the end of the line. Best with pictures of 192 x 144.
#DEFAULTCOLUMNS3
<div style="min-width:#PREVIEWPICSIZEXpx;background:#ffffff;border:1px solid #c4c9d4;border-radius:8px;padding:10px;font-family:Helvetica,Arial,sans-serif;font-size:12px;line-height:1.45;color:#1f2430;box-shadow:0 2px 5px rgba(0,0,0,0.12)">
<div style="font-size:15px;font-weight:bold;color:#1d3b73;margin-bottom:6px">Scene #SCENENUMBER</div>
<div title="#SRCFILENAME">#FRAMEBYPERCENT50</div>
<div style="margin-top:6px;font-weight:bold;word-break:break-all">#PURESRCFILENAME</div>
<table cellspacing=0 cellpadding=1 style="font-size:12px;color:#1f2430;margin-top:4px">
<tr><td style="color:#6b7385;padding-right:8px;white-space:nowrap">Recorded</td><td style="white-space:nowrap">#DVDATESTAMP</td></tr>
<tr><td style="color:#6b7385;padding-right:8px;white-space:nowrap">In file</td><td style="white-space:nowrap">#STARTTIMEINFILE &ndash; #STOPTIMEINFILE</td></tr>
<tr><td style="color:#6b7385;padding-right:8px;white-space:nowrap">Duration</td><td style="white-space:nowrap"><b>#PLAYTIME</b> (#FRAMECOUNT frames)</td></tr>
<tr><td style="color:#6b7385;padding-right:8px;white-space:nowrap">Timecode</td><td style="white-space:nowrap">#STARTTIMECODE &ndash; #STOPTIMECODE</td></tr>
</table>
<div style="margin-top:6px;padding:4px 6px;background:#f3f5f9;border-left:3px solid #1d3b73;font-style:italic">#COMMENT</div>
</div>
