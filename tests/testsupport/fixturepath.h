#pragma once

#include <QString>

// The path of a fixture media file made by tools/make-fixtures.sh, in the folder the tests are
// given (KIVO_FIXTURES).
inline QString fixture(const char *name) {
    return qEnvironmentVariable("KIVO_FIXTURES") + u'/' + QString::fromLatin1(name);
}
