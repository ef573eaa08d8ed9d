#pragma once

#include <QtGlobal>

// Profilor exports only the classes and functions marked with PROFILOR_EXPORT;
// everything else, the shared dive record included, stays inside the library.
#if defined(PROFILOR_LIBRARY)
#define PROFILOR_EXPORT Q_DECL_EXPORT
#else
#define PROFILOR_EXPORT Q_DECL_IMPORT
#endif
