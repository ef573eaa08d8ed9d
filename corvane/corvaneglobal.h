#pragma once

#include <QtGlobal>

// Corvane exports only the classes and functions marked with CORVANE_EXPORT;
// everything else, the shared dive record included, stays inside the library.
#if defined(CORVANE_LIBRARY)
#define CORVANE_EXPORT Q_DECL_EXPORT
#else
#define CORVANE_EXPORT Q_DECL_IMPORT
#endif
