#pragma once

#include <QLoggingCategory>

// libmpv's own messages and the engine's failures, with libmpv's error texts kept.
Q_DECLARE_LOGGING_CATEGORY(lcPlayback)
