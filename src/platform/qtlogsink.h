#pragma once

// Routes the libraries' diagnostics into Qt's logging, each category as "kivo.<category>", so
// that QT_LOGGING_RULES and the programs' message handlers treat them like Qt's own.
namespace kivo {

void installQtLogSink();

}  // namespace kivo
