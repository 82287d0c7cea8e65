# Writes OUT, a C++ source holding the texts of RC and HEADER.
file(READ ${RC} rc_text)
file(READ ${HEADER} header_text)
file(WRITE ${OUT} "// Generated from checkbook.rc and resource.h; do not edit.\n"
  "extern const char* const kResourceScript;\nextern const char* const kResourceHeader;\n"
  "const char* const kResourceScript = R\"rc_text(${rc_text})rc_text\";\n"
  "const char* const kResourceHeader = R\"rc_text(${header_text})rc_text\";\n")
