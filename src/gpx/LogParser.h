#pragma once

#include <expat.h>

namespace pelorin {

// A parser as every reading of a log needs it. Any entity declaration goes to
// refuseEntities, which stops the parser: external ones would reach files or
// the network, internal ones are the stuff of expansion attacks, and GPX needs
// neither. Windows-1252, which some loggers write, is understood.
// Null when no parser could be made.
XML_Parser logParser(void *userData, XML_EntityDeclHandler refuseEntities);

} // namespace pelorin
