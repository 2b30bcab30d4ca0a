# cmake -DDIR=folder -P deep.cmake: writes the sources of a help file whose pages nest tables
# and lists far deeper than any real page, for the help window's tests.
file(MAKE_DIRECTORY ${DIR})
set(head "<html><head><meta charset=\"utf-8\"></head><body><p>ページの始まり</p>")
set(tail "<p>ページの終わり</p></body></html>")
foreach(depth 30 3000)
    string(REPEAT "<table border=\"1\"><tr><td>セル" ${depth} opening)
    string(REPEAT "</td></tr></table>" ${depth} closing)
    file(WRITE ${DIR}/tables${depth}.html "${head}${opening}${closing}${tail}")
endforeach()
string(REPEAT "<ul><li>項目" 20000 lists)
file(WRITE ${DIR}/lists20000.html "${head}${lists}${tail}")
file(WRITE ${DIR}/deep.hhp "[OPTIONS]
Compiled file=deep.chm
Default topic=tables30.html
Display compile progress=No
Full-text search=No
Language=0x411 Japanese
Title=Deep

[FILES]
tables30.html
tables3000.html
lists20000.html
")
