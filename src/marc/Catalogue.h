#pragma once

#include "marc/Marc.h"

namespace marc {

// A library catalogue searched for records to copy: a Z39.50 target ("host:port/database") or
// an SRU base URL (protocol "sru").
struct CatalogueTarget {
    QString address;
    QString protocol = QStringLiteral("z3950");
    int timeoutSeconds = 15;
};

enum class SearchBy { Issn, Title };

struct Found {
    QList<Record> records;
    qint64 hits = 0;      // how many the catalogue found (more than fetched when many)
    QString error;        // why the search failed, in Thai; empty when it ran
    QStringList problems; // records received that could not be read
};

// Searches the catalogue (Bib-1 use 8 or 4 over Z39.50; bath.issn or dc.title over SRU) and
// fetches up to `max` records. Blocks until the answer or the time-out: run it off the window's
// thread.
Found searchCatalogue(const CatalogueTarget& target, SearchBy by, const QString& term, int max = 20);

} // namespace marc
