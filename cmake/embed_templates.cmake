# SPDX-License-Identifier: GPL-3.0-or-later
# Turns every file below TEMPLATE_DIR into an entry of one C++ table:
# relative path -> UTF-8 text. Run as a script (cmake -P).
file(GLOB_RECURSE files RELATIVE ${TEMPLATE_DIR} ${TEMPLATE_DIR}/*)
list(SORT files)
set(body "")
foreach(rel IN LISTS files)
  if(rel MATCHES "(^|/)\\." OR rel MATCHES "~$" OR rel MATCHES "README")
    continue()
  endif()
  file(READ ${TEMPLATE_DIR}/${rel} content)
  string(APPEND body "  {\"${rel}\", R\"TMBL_EMBED(${content})TMBL_EMBED\"},\n")
endforeach()
set(out "// Generated from src/modlib/templates; do not edit.\n#include \"modlib/embedded_templates.h\"\n\nnamespace tamberlo {\n\nconst std::vector<EmbeddedTemplate>& embeddedTemplates() {\n  static const std::vector<EmbeddedTemplate> table = {\n${body}  };\n  return table;\n}\n\n}  // namespace tamberlo\n")
# Only touch the output when it changes, so unrelated builds stay incremental.
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL out)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${out}")
