#include "web/WebServer.h"
#include "web/AlertPages.h"

#include "data/Connection.h"
#include "web/PageCache.h"
#include "web/Pages.h"

#include <httplib.h>

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <atomic>
#include <cstdio>

namespace web {

namespace {

// A query string longer than this is refused before any page runs.
constexpr size_t maxTarget = 4096;

std::string routeFor(const QString& path) {
    std::string pattern = "/";
    for (const QChar ch : path) {
        if (!ch.isLetterOrNumber() && ch != QLatin1Char('/') && ch != QLatin1Char('_'))
            pattern += '\\';
        pattern += ch.toLatin1();
    }
    return pattern;
}

void logLine(const QString& text) {
    const QByteArray line = (QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + text).toUtf8();
    std::fprintf(stderr, "%s\n", line.constData());
}

// What the public sees of a failure: a reference to quote to the library; the details go to
// the server's log under the same reference.
QString failureReference(const std::exception& e) {
    static std::atomic<unsigned> counter{0};
    const QString ref = QStringLiteral("%1-%2")
                            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyMMddhhmmss")))
                            .arg(++counter % 10000, 4, 10, QLatin1Char('0'));
    const auto* db = dynamic_cast<const data::DbError*>(&e);
    logLine(QStringLiteral("error %1: %2").arg(ref, db ? db->describe() : QString::fromUtf8(e.what())));
    return ref;
}

QString failureText(const QString& ref) {
    return QStringLiteral("ขออภัย ระบบไม่สามารถแสดงหน้านี้ได้ในขณะนี้ กรุณาลองใหม่อีกครั้ง "
                          "หากยังพบปัญหา โปรดแจ้งเจ้าหน้าที่พร้อมหมายเลขอ้างอิง %1")
        .arg(ref);
}

// A page's list as the report output prints it, the file's bytes.
QByteArray pdfOf(data::Connection& c, const Page& page, const Query& q) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.pdf"));
    reports::PdfStream pdf(file, page.title);
    onPaper(c, page, q,
            {[](const QString&, const QStringList&) {}, [&](const reports::Page& p) { pdf.page(p); },
             [](const QStringList&) {}});
    QString error;
    QFile written(file);
    if (!pdf.commit(&error) || !written.open(QIODevice::ReadOnly))
        throw std::runtime_error(error.toStdString());
    return written.readAll();
}

std::string messagePage(const QString& title, const QString& text) {
    return (pageStart(title) + QStringLiteral("<p class=\"error\">%1</p>\n").arg(esc(text)).toUtf8() + pageEnd())
        .toStdString();
}

} // namespace

struct WebServer::Impl {
    ServerOptions options;
    httplib::Server http;
    int port = 0;
    PageCache cache;

    data::Connection& connection() {
        thread_local std::unique_ptr<data::Connection> c;
        if (!c)
            c = std::make_unique<data::Connection>(options.db);
        return *c;
    }
    data::Connection& requestConnection() {
        thread_local std::unique_ptr<data::Connection> c;
        if (!c)
            c = std::make_unique<data::Connection>(options.requestDb);
        return *c;
    }

    // The alert pages: GET shows a form, POST (a form's fields in the body) acts.
    void serveAlerts(const httplib::Request& req, httplib::Response& res, bool confirm) {
        Query q;
        for (const auto& [key, value] : req.params)
            q.insert(QString::fromStdString(key), QString::fromStdString(value));
        if (req.method == "POST") {
            QUrlQuery body(QString::fromUtf8(QByteArray::fromStdString(req.body).replace('+', ' ')));
            for (const auto& [key, value] : body.queryItems(QUrl::FullyDecoded))
                q.insert(key, value);
        }
        Reply r;
        try {
            if (req.method == "POST")
                r = confirm ? confirmRequest(requestConnection(), q)
                            : followRequest(connection(), requestConnection(), q);
            else
                r = confirm ? confirmForm(connection(), q) : followForm(connection(), q);
        } catch (const std::exception& e) {
            r = {500, QByteArray::fromStdString(
                          messagePage(QStringLiteral("เกิดข้อผิดพลาด"), failureText(failureReference(e))))};
        }
        res.status = r.status;
        res.set_content(r.html.constData(), size_t(r.html.size()), "text/html; charset=utf-8");
    }

    // A page kept: 304 to a browser that holds it already, else the page itself; either way
    // with its validator, and the browser asked to check again before using its copy.
    static void answerKept(const PageCache::Entry& e, const httplib::Request& req, httplib::Response& res) {
        res.headers.erase("Cache-Control");
        res.set_header("Cache-Control", "no-cache");
        res.set_header("ETag", e.etag.toStdString());
        if (req.get_header_value("If-None-Match") == e.etag.toStdString()) {
            res.status = 304;
            return;
        }
        if (!e.disposition.isEmpty())
            res.set_header("Content-Disposition", e.disposition.toStdString());
        res.set_content(e.body.constData(), size_t(e.body.size()), e.contentType.toStdString());
    }

    void serve(const PageDef& def, const httplib::Request& req, httplib::Response& res) {
        Query q;
        for (const auto& [key, value] : req.params)
            q.insert(QString::fromStdString(key), QString::fromStdString(value));
        const bool csv = q.value(QStringLiteral("format")) == QLatin1String("csv");
        try {
            data::Connection& c = connection();
            // The version is read before the page: a change made while it is built makes the
            // next request build it again.
            const QString key = cacheKey(def.path, q, QDate::currentDate());
            const QByteArray version = def.cached ? PageCache::version(c) : QByteArray();
            if (const auto hit = version.isEmpty() ? std::nullopt : cache.find(key, version)) {
                answerKept(*hit, req, res);
                return;
            }
            const auto whole = [&](const QByteArray& body, const char* type, const QString& file) {
                PageCache::Entry e{version, body, type,
                                   file.isEmpty() ? QByteArray() : ("attachment; filename=\"" + file + "\"").toUtf8(), {}};
                cache.keep(key, e);
                if (const auto kept = cache.find(key, version)) {
                    answerKept(*kept, req, res);
                    return;
                }
                if (!e.disposition.isEmpty())
                    res.set_header("Content-Disposition", e.disposition.toStdString());
                res.set_content(body.constData(), size_t(body.size()), type);
            };
            Page page = def.build(c, q);
            if (q.value(QStringLiteral("format")) == QLatin1String("pdf") && printable(page)) {
                whole(pdfOf(c, page, q), "application/pdf",
                      QString(page.csvName).replace(QStringLiteral(".csv"), QStringLiteral(".pdf")));
                return;
            }
            if (csv && !page.list && !page.csv.isEmpty()) {
                whole(page.csv, "text/csv; charset=utf-8", page.csvName);
                return;
            }
            const bool asCsv = csv && page.list;
            const QString name = page.csvName;
            Stream stream = prepare(c, def.path, q, std::move(page), asCsv);
            const char* type = asCsv ? "text/csv; charset=utf-8" : "text/html; charset=utf-8";
            const QByteArray disposition =
                asCsv ? ("attachment; filename=\"" + name + "\"").toUtf8() : QByteArray();
            if (!disposition.isEmpty())
                res.set_header("Content-Disposition", disposition.toStdString());
            // Sent as it is read, and kept once whole (not when it failed, the browser left, or
            // it outgrew what one page may keep).
            res.set_chunked_content_provider(
                type, [this, stream, key, version, type, disposition](size_t, httplib::DataSink& sink) {
                    QByteArray body;
                    bool keep = !version.isEmpty();
                    try {
                        stream([&](const QByteArray& b) {
                            if (keep && body.size() + b.size() > cache.largest()) {
                                keep = false;
                                body.clear();
                            } else if (keep) {
                                body += b;
                            }
                            const bool sent = sink.write(b.constData(), size_t(b.size()));
                            keep = keep && sent;
                            return sent;
                        });
                    } catch (const std::exception& e) {
                        keep = false;
                        // The page is under way: its end says what happened.
                        const QByteArray note = QStringLiteral("\n%1\n").arg(failureText(failureReference(e))).toUtf8();
                        sink.write(note.constData(), size_t(note.size()));
                    }
                    sink.done();
                    if (keep)
                        cache.keep(key, {version, body, type, disposition, {}});
                    return true;
                });
        } catch (const std::exception& e) {
            res.status = 500;
            res.set_content(messagePage(QStringLiteral("เกิดข้อผิดพลาด"), failureText(failureReference(e))),
                            "text/html; charset=utf-8");
        }
    }
};

WebServer::WebServer(ServerOptions options) : d(std::make_unique<Impl>()) {
    d->options = std::move(options);
    d->options.db.statementSeconds = 20;
    const int threads = qMax(2, d->options.threads);
    d->http.new_task_queue = [threads] { return new httplib::ThreadPool(size_t(threads)); };
    d->http.set_read_timeout(5);
    d->http.set_write_timeout(30);
    d->http.set_keep_alive_timeout(2);
    d->http.set_payload_max_length(8 * 1024);
    d->http.set_default_headers({
        {"Content-Security-Policy", "default-src 'none'; style-src 'unsafe-inline'; form-action 'self'; "
                                    "frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"Cache-Control", "no-store"},
    });
    d->http.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        const QString path = QString::fromStdString(req.path);
        const bool form = path == QLatin1Char('/') + followPath || path == QLatin1Char('/') + confirmPath;
        if (req.method != "GET" && req.method != "HEAD" && !(form && req.method == "POST")) {
            res.status = 405;
            return httplib::Server::HandlerResponse::Handled;
        }
        if (req.target.size() > maxTarget) {
            res.status = 414;
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    for (const PageDef& def : pages())
        d->http.Get(routeFor(def.path),
                    [this, &def](const httplib::Request& req, httplib::Response& res) { d->serve(def, req, res); });
    for (const bool confirm : {false, true}) {
        const std::string path = (QLatin1Char('/') + (confirm ? confirmPath : followPath)).toStdString();
        const auto handler = [this, confirm](const httplib::Request& req, httplib::Response& res) {
            d->serveAlerts(req, res, confirm);
        };
        d->http.Get(path, handler);
        d->http.Post(path, handler);
    }
    d->http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty())
            return;
        const QString text = res.status == 404 ? QStringLiteral("ไม่พบหน้าที่ต้องการ")
                                               : QStringLiteral("คำขอนี้ไม่ได้รับอนุญาต (%1)").arg(res.status);
        res.set_content(messagePage(text, text), "text/html; charset=utf-8");
    });
    d->http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
        QString ref = QStringLiteral("?");
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception& e) {
            ref = failureReference(e);
        } catch (...) {
        }
        res.status = 500;
        res.set_content(messagePage(QStringLiteral("เกิดข้อผิดพลาด"), failureText(ref)), "text/html; charset=utf-8");
    });
    d->http.set_logger([](const httplib::Request& req, const httplib::Response& res) {
        logLine(QStringLiteral("%1 %2 %3")
                    .arg(QString::fromStdString(req.method), QString::fromStdString(req.path))
                    .arg(res.status));
    });
}

WebServer::~WebServer() = default;

bool WebServer::bind(QString* error) {
    const std::string host = d->options.listen.toStdString();
    if (d->options.port == 0)
        d->port = d->http.bind_to_any_port(host);
    else if (d->http.bind_to_port(host, d->options.port))
        d->port = d->options.port;
    if (d->port > 0)
        return true;
    *error = QStringLiteral("cannot listen on %1:%2").arg(d->options.listen).arg(d->options.port);
    return false;
}

int WebServer::port() const {
    return d->port;
}

void WebServer::run() {
    d->http.listen_after_bind();
}

void WebServer::stop() {
    d->http.stop();
}

} // namespace web
