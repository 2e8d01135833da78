#pragma once

#include <expat.h>

namespace pelorin {

// expat's unknown-encoding handler: answers windows-1252 (also named cp1252),
// which GPS units and old programs write; refuses every other name.
int XMLCALL windows1252EncodingHandler(void *data, const XML_Char *name, XML_Encoding *info);

} // namespace pelorin
