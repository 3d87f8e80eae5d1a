// The rules of the web page import, apart from the transfer itself.
#pragma once

#include <QString>
#include <optional>

namespace vrayu {

// The address to fetch for the address box's text: what follows the first
// " - " (list entries are "title - address"), else the text itself when it
// begins with "http://" (any case). No value: nothing to fetch.
std::optional<QString> ImportAddress(const QString& entry);

// Every line feed becomes carriage return + line feed (one already preceded
// by a carriage return too).
QString RewriteLineFeeds(const QString& page);

// The English pane text of a fetched page: line feeds rewritten, then the
// body's text outside tags, with "<!--ENGLISH-->" marks as "#".
QString EnglishFromPage(const QByteArray& page);

}  // namespace vrayu
