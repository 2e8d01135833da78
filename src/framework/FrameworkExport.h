#pragma once

#include <QtGlobal>

#if defined(PELORIN_FRAMEWORK_BUILD)
#define PELORIN_FRAMEWORK_EXPORT Q_DECL_EXPORT
#else
#define PELORIN_FRAMEWORK_EXPORT Q_DECL_IMPORT
#endif
