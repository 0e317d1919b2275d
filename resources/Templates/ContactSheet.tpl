#REM Klemora scene index template "Contact sheet": four pictures of each scene
#REM (start, one third, two thirds, end) on a strip of film, with the scene's
#REM data beside it. One scene per row.
#REM
#REM Every line with #REM in it is a comment and never reaches the page; empty
#REM lines are dropped too. The line after the comments sets the number of
#REM scenes per row.
#REM The percentages below can be changed; 99 keeps the last picture inside the
#REM scene (100 would show the first frame after it). Best with 192 x 144.
#DEFAULTCOLUMNS1
<table cellspacing=0 cellpadding=0 style="font-family:Helvetica,Arial,sans-serif;font-size:12px;color:#1f2430"><tr>
<td valign=top style="background:#1c1c1c;border-top:7px dotted #f2f2f2;border-bottom:7px dotted #f2f2f2;padding:8px 6px;border-radius:4px">
<table cellspacing=6 cellpadding=0><tr>
<td>#FRAMEBYPERCENT0</td>
<td>#FRAMEBYPERCENT33</td>
<td>#FRAMEBYPERCENT66</td>
<td>#FRAMEBYPERCENT99</td>
</tr></table>
</td>
<td valign=top style="padding-left:14px;min-width:230px;line-height:1.5">
<div style="font-size:16px;font-weight:bold;color:#7a1f1f">Scene #SCENENUMBER</div>
<div style="font-weight:bold;word-break:break-all">#PURESRCFILENAME</div>
<div style="color:#6b7385;font-size:11px;word-break:break-all">#SRCFILENAME</div>
<div style="margin-top:4px">Recorded: #DVDATESTAMP</div>
<div>Frames #STARTTIMEINFILE &ndash; #STOPTIMEINFILE</div>
<div>Duration: <b>#PLAYTIME</b> &middot; #FRAMECOUNT frames</div>
<div>Timecode: #STARTTIMECODE &ndash; #STOPTIMECODE</div>
<div>Speed &times;#SPEEDFACTOR &rarr; #SFPLAYTIME</div>
<div style="color:#6b7385">#RESOLUTIONX&times;#RESOLUTIONY &middot; #FPS fps &middot; #AUDIOCHANNELCOUNT ch #AUDIOFREQUNCE Hz #AUDIOBITCOUNT bit</div>
<div>Output file: #DSTFILENAME</div>
<div style="margin-top:4px;font-style:italic">#COMMENT</div>
</td>
</tr></table>
