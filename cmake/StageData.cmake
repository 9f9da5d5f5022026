# Stages the data next to the executables: every file of data/ except the language
# fragments, and one overlay file per language folder, joined from its fragments in name
# order and closed with the end-of-overlay key line.
#   cmake -DSOURCE=<data folder> -DDEST=<build folder> -P StageData.cmake
file(GLOB_RECURSE files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(f ${files})
  if(NOT f MATCHES "^lang/")
    configure_file(${SOURCE}/${f} ${DEST}/${f} COPYONLY)
  endif()
endforeach()

# Language folder -> overlay file name.
set(overlay_en RB8826E.OVL)
file(GLOB languages RELATIVE ${SOURCE}/lang ${SOURCE}/lang/*)
foreach(lang ${languages})
  file(GLOB fragments ${SOURCE}/lang/${lang}/*.ovl)
  list(SORT fragments)
  set(joined "")
  foreach(fragment ${fragments})
    file(READ ${fragment} text)
    string(APPEND joined "${text}")
    if(NOT text MATCHES "\n$")
      string(APPEND joined "\n")
    endif()
  endforeach()
  string(APPEND joined "#End_Of_Ovl\n")
  file(WRITE ${DEST}/${overlay_${lang}}.tmp "${joined}")
  file(COPY_FILE ${DEST}/${overlay_${lang}}.tmp ${DEST}/${overlay_${lang}} ONLY_IF_DIFFERENT)
  file(REMOVE ${DEST}/${overlay_${lang}}.tmp)
endforeach()
