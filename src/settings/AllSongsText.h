#pragma once

#include <QString>

// The name suffix of the master playlist in the given language ("english", "german",
// "spanish"); English for any other key.
QString AllSongsText(const QString& language);
