// warasan-ztarget: serves the MARC records of a file over Z39.50 and SRU, searched by ISSN
// (Bib-1 use 8, bath.issn) or by a word of the title (use 4, dc.title).
//   warasan-ztarget --records FILE [--delay SECONDS] [YAZ server options] tcp:127.0.0.1:PORT
#include "marc/Marc.h"

#include <QFile>
#include <QRegularExpression>
#include <cstring>
#include <thread>
#include <vector>
#include <yaz/backend.h>
#include <yaz/diagbib1.h>
#include <yaz/oid_db.h>
#include <yaz/pquery.h>
#include <yaz/querytowrbuf.h>
#include <yaz/wrbuf.h>

namespace {

QList<marc::Record> catalogue;
int delaySeconds = 0;

// The records each session's last search found, by position.
struct Session {
    QList<int> found;
};

QString normalIssn(const QString& s) {
    return s.toUpper().remove(QRegularExpression(QStringLiteral("[^0-9X]")));
}

// The index and term of a query: "@attr 1=8 ..." (Z39.50) or "bath.issn=..." (SRU's CQL).
bool readQuery(Z_Query* q, ODR odr, bool* byIssn, QString* term) {
    QString text;
    if (q->which == Z_Query_type_1 || q->which == Z_Query_type_101) {
        WRBUF w = wrbuf_alloc();
        yaz_rpnquery_to_wrbuf(w, q->u.type_1);
        text = QString::fromUtf8(wrbuf_cstr(w));
        wrbuf_destroy(w);
        *byIssn = text.contains(QLatin1String("1=8 "));
        if (!*byIssn && !text.contains(QLatin1String("1=4 ")))
            return false;
    } else if (q->which == Z_Query_type_104 && q->u.type_104->which == Z_External_CQL) {
        text = QString::fromUtf8(q->u.type_104->u.cql);
        *byIssn = text.contains(QLatin1String("issn"), Qt::CaseInsensitive);
        if (!*byIssn && !text.contains(QLatin1String("title"), Qt::CaseInsensitive))
            return false;
    } else {
        return false;
    }
    (void)odr;
    // The term: the last quoted text, or the last word.
    static const QRegularExpression quotedTerm(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\"\\s*$"));
    const auto m = quotedTerm.match(text);
    *term = m.hasMatch() ? m.captured(1).replace(QLatin1String("\\\""), QLatin1String("\""))
                         : text.section(QRegularExpression(QStringLiteral("[\\s=]")), -1);
    return true;
}

int search(void* handle, bend_search_rr* rr) {
    auto* s = static_cast<Session*>(handle);
    if (delaySeconds > 0)
        std::this_thread::sleep_for(std::chrono::seconds(delaySeconds));
    bool byIssn = false;
    QString term;
    if (!readQuery(rr->query, rr->stream, &byIssn, &term)) {
        rr->errcode = YAZ_BIB1_UNSUPP_USE_ATTRIBUTE;
        return 0;
    }
    s->found.clear();
    for (int i = 0; i < catalogue.size(); ++i) {
        const marc::Record& r = catalogue.at(i);
        const bool hit =
            byIssn ? !term.isEmpty() && normalIssn(r.sub(QStringLiteral("022"), QLatin1Char('a'))) == normalIssn(term)
                   : r.sub(QStringLiteral("245"), QLatin1Char('a')).contains(term, Qt::CaseInsensitive);
        if (hit)
            s->found << i;
    }
    rr->hits = s->found.size();
    return 0;
}

int fetch(void* handle, bend_fetch_rr* rr) {
    auto* s = static_cast<Session*>(handle);
    if (rr->number < 1 || rr->number > s->found.size()) {
        rr->errcode = YAZ_BIB1_PRESENT_REQUEST_OUT_OF_RANGE;
        return 0;
    }
    const marc::Record& r = catalogue.at(s->found.at(rr->number - 1));
    const bool xml = (rr->request_format && !oid_oidcmp(rr->request_format, yaz_oid_recsyn_xml)) ||
                     (rr->schema && !std::strcmp(rr->schema, "marcxml"));
    const QByteArray bytes = marc::write({r}, xml ? marc::Format::MarcXml : marc::Format::Iso2709);
    rr->len = int(bytes.size());
    rr->record = static_cast<char*>(odr_malloc(rr->stream, size_t(bytes.size()) + 1));
    std::memcpy(rr->record, bytes.constData(), size_t(bytes.size()) + 1);
    rr->output_format = odr_oiddup(rr->stream, xml ? yaz_oid_recsyn_xml : yaz_oid_recsyn_usmarc);
    rr->last_in_set = rr->number == s->found.size();
    return 0;
}

int present(void*, bend_present_rr*) {
    return 0;
}

bend_initresult* init(bend_initrequest* q) {
    auto* r = static_cast<bend_initresult*>(odr_malloc(q->stream, sizeof(bend_initresult)));
    r->errcode = 0;
    r->errstring = nullptr;
    r->handle = new Session;
    q->bend_search = search;
    q->bend_fetch = fetch;
    q->bend_present = present;
    return r;
}

void close(void* handle) {
    delete static_cast<Session*>(handle);
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest = {argv[0]};
    QString file;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--records") && i + 1 < argc)
            file = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--delay") && i + 1 < argc)
            delaySeconds = std::atoi(argv[++i]);
        else
            rest.push_back(argv[i]);
    }
    QFile in(file);
    if (file.isEmpty() || !in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "warasan-ztarget: --records FILE is required and must be readable\n");
        return 2;
    }
    QStringList problems;
    catalogue = marc::read(in.readAll(), &problems);
    for (const QString& p : problems)
        std::fprintf(stderr, "warasan-ztarget: %s\n", qPrintable(p));
    rest.push_back(nullptr);
    return statserv_main(int(rest.size()) - 1, rest.data(), init, close);
}
