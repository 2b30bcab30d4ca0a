# cmake -DDIR=folder -DNAME=name -DPICTURE=file.png -DCOUNT=n -P pictures.cmake: writes the
# sources of a help file whose one page shows COUNT copies of PICTURE, each under a name of
# its own and drawn 40×40, for the limits on help pictures. The pictures in pictures/ are
# filled with one colour at one bit a pixel: 2 and 4 KB that decode to 4096×4096 and 5700×5700.
file(MAKE_DIRECTORY ${DIR})
set(page "<html><head><meta charset=\"utf-8\"></head><body><p>")
set(files "page.html\n")
foreach(i RANGE 1 ${COUNT})
    file(COPY_FILE ${PICTURE} ${DIR}/p${i}.png)
    string(APPEND page "<img src=\"p${i}.png\" width=\"40\" height=\"40\">")
    string(APPEND files "p${i}.png\n")
endforeach()
file(WRITE ${DIR}/page.html "${page}</p></body></html>")
file(WRITE ${DIR}/${NAME}.hhp "[OPTIONS]
Compiled file=${NAME}.chm
Default topic=page.html
Display compile progress=No
Full-text search=No
Language=0x411 Japanese
Title=Pictures

[FILES]
${files}")
