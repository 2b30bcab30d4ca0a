# cmake -DOUTPUT=file -DINPUTS=a,b -P concat.cmake: joins files byte for byte. The fixture's
# project file is two parts in two encodings (see CMakeLists.txt).
string(REPLACE "," ";" inputs "${INPUTS}")
file(WRITE ${OUTPUT} "")
foreach(input IN LISTS inputs)
    file(READ ${input} content)
    file(APPEND ${OUTPUT} "${content}")
endforeach()
