#include "DataGenerator.h"

#include "data/NameSearch.h"
#include "data/Numbering.h"

#include <QHash>
#include <QStringList>

#include <stdexcept>

namespace datagen {

namespace {

// SplitMix64: small, fast and the same on every platform, so a seed always gives the same data.
class Random {
public:
    explicit Random(quint64 seed) : s_(seed) {}
    quint64 next() {
        quint64 z = (s_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : int(next() % quint64(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <typename T> const T& pick(const QList<T>& list) { return list.at(below(int(list.size()))); }

private:
    quint64 s_;
};

// Multi-row INSERTs with bound values, a few hundred rows a statement.
class BulkInsert {
public:
    BulkInsert(data::Connection& c, const QString& table, const QStringList& columns, int rowsPerStatement = 400)
        : c_(c), table_(table), columns_(columns), perStatement_(rowsPerStatement) {}
    ~BulkInsert() noexcept(false) { flush(); }
    void add(const QVariantList& row) {
        pending_ += row;
        if (++rows_ == perStatement_)
            flush();
    }
    void flush() {
        if (rows_ == 0)
            return;
        const QString one = QLatin1Char('(') +
                            QStringList(columns_.size(), QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table_, columns_.join(QLatin1Char(',')));
        sql += QStringList(rows_, one).join(QLatin1Char(','));
        c_.exec(sql, pending_);
        pending_.clear();
        rows_ = 0;
    }

private:
    data::Connection& c_;
    QString table_;
    QStringList columns_;
    int perStatement_;
    QVariantList pending_;
    int rows_ = 0;
};

// Codes in the form the program gives them.
QString code(data::Numbered kind, qint64 n) {
    return data::numbering(kind).code(n);
}

const QStringList thaiMonths = {QStringLiteral("มกราคม"),  QStringLiteral("กุมภาพันธ์"),  QStringLiteral("มีนาคม"),
                                QStringLiteral("เมษายน"),  QStringLiteral("พฤษภาคม"),  QStringLiteral("มิถุนายน"),
                                QStringLiteral("กรกฎาคม"), QStringLiteral("สิงหาคม"),   QStringLiteral("กันยายน"),
                                QStringLiteral("ตุลาคม"),   QStringLiteral("พฤศจิกายน"), QStringLiteral("ธันวาคม")};
const QStringList englishMonths = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

const QStringList englishPrefixes = {"Journal of",  "Review of",   "Annals of",  "International Journal of",
                                     "Bulletin of", "Advances in", "Studies in", "Quarterly of"};
const QStringList englishTopics = {"Library Science",
                                   "Applied Physics",
                                   "Organic Chemistry",
                                   "Public Health",
                                   "Asian Studies",
                                   "Economics",
                                   "Education",
                                   "Computer Science",
                                   "Marine Biology",
                                   "Agricultural Research",
                                   "Nursing",
                                   "Linguistics",
                                   "Management",
                                   "Tropical Medicine",
                                   "Environmental Engineering",
                                   "Information Systems",
                                   "Southeast Asian History",
                                   "Food Technology",
                                   "Mathematics",
                                   "Psychology",
                                   "Tourism",
                                   "Rural Development",
                                   "Architecture",
                                   "Statistics"};
const QStringList thaiPrefixes = {"วารสาร", "วารสารวิชาการ", "จุลสาร", "นิตยสาร", "วารสารวิจัย", "ปริทัศน์"};
const QStringList thaiTopics = {"บรรณารักษศาสตร์",
                                "ครุศาสตร์",
                                "วิทยาศาสตร์และเทคโนโลยี",
                                "มนุษยศาสตร์และสังคมศาสตร์",
                                "เกษตรศาสตร์",
                                "การจัดการ",
                                "สาธารณสุข",
                                "ภาษาและวัฒนธรรม",
                                "เศรษฐศาสตร์",
                                "การท่องเที่ยว",
                                "คอมพิวเตอร์",
                                "ศิลปกรรม",
                                "พัฒนาชุมชน",
                                "สิ่งแวดล้อม",
                                "การพยาบาล",
                                "นิติศาสตร์",
                                "ประวัติศาสตร์ท้องถิ่น",
                                "อาหารและโภชนาการ"};
const QStringList englishPapers = {"Bangkok Post",      "The Nation", "Financial Times",
                                   "The Straits Times", "Asia Times", "The Japan Times"};
const QStringList thaiPapers = {"ไทยรัฐ", "มติชน", "เดลินิวส์", "กรุงเทพธุรกิจ", "ข่าวสด", "ประชาชาติธุรกิจ", "สยามรัฐ"};
const QStringList thaiFirst = {"สมชาย", "สมศรี", "วิภา",     "ประเสริฐ", "กนกวรรณ", "ธนพล",  "อรุณี",  "สุรชัย",
                               "พรทิพย์", "วีระ",  "จันทร์เพ็ญ", "ณัฐวุฒิ",    "ปิยะนุช",   "อภิชาติ", "ศิริพร", "ก้องเกียรติ"};
const QStringList thaiLast = {"ใจดี",  "สุขสวัสดิ์", "ศรีสมบูรณ์", "วงศ์ไทย",  "แก้วมณี",  "ทองคำ",
                              "บุญมา", "พึ่งบุญ",   "รัตนวงศ์",  "เพชรรัตน์", "ชัยมงคล", "นาคสวัสดิ์"};
const QStringList englishFirst = {"John", "Mary",  "David", "Susan", "Hiroshi", "Wei",
                                  "Anna", "Peter", "Linda", "Kenji", "Maria",   "Robert"};
const QStringList englishLast = {"Smith",  "Johnson", "Tanaka", "Chen",   "Brown", "Garcia",
                                 "Müller", "Wilson",  "O'Neil", "Nguyen", "Kim",   "Taylor"};
const QStringList subjects = {"การจัดการห้องสมุด",
                              "การศึกษา",
                              "เทคโนโลยีสารสนเทศ",
                              "เกษตรกรรม",
                              "สุขภาพ",
                              "เศรษฐกิจ",
                              "การเมือง",
                              "วัฒนธรรมไทย",
                              "สิ่งแวดล้อม",
                              "การท่องเที่ยว",
                              "ภาษาไทย",
                              "คณิตศาสตร์",
                              "Library automation",
                              "Information retrieval",
                              "Higher education",
                              "Public health",
                              "Climate change",
                              "Rice production",
                              "Machine learning",
                              "Tourism",
                              "Linguistics",
                              "Marketing",
                              "Cataloging",
                              "Digital libraries"};
const QStringList thaiArticleWords = {"การศึกษา", "ปัจจัย", "ที่มีผลต่อ",         "การพัฒนา", "รูปแบบ",  "ของ",
                                      "นักศึกษา",  "ชุมชน", "ในจังหวัดเชียงใหม่", "การใช้",   "ห้องสมุด", "ความพึงพอใจ"};
const QStringList englishArticleWords = {
    "A study of", "Factors affecting", "the development of", "students'", "information",     "behaviour", "in",
    "Thai",       "universities",      "a review",           "of",        "library services"};

// Frequency codes and the days between two issues.
struct Frequency {
    const char* code;
    int days;
};
const QList<Frequency> frequencies = {{"01", 1},  {"02", 7},   {"03", 15},  {"04", 30},  {"05", 61},
                                      {"06", 91}, {"07", 122}, {"08", 182}, {"09", 365}, {"10", 45}};

// Issues are dated as publishers date them: weekly ones every seventh day, half-monthly ones
// on the 1st and the 15th, monthly to half-yearly ones on the 1st of their month, yearly ones
// on 1 January; daily and irregular ones by their day count.
int monthsOf(const Frequency& f) {
    static const QHash<QString, int> months = {{"04", 1}, {"05", 2}, {"06", 3}, {"07", 4}, {"08", 6}, {"09", 12}};
    return months.value(QLatin1String(f.code));
}
QDate newestMark(const Frequency& f, const QDate& d) {
    if (QLatin1String(f.code) == QLatin1String("03"))
        return QDate(d.year(), d.month(), d.day() >= 15 ? 15 : 1);
    if (const int m = monthsOf(f))
        return m == 12 ? QDate(d.year(), 1, 1) : QDate(d.year(), d.month(), 1);
    return d;
}
QDate previousMark(const Frequency& f, const QDate& d) {
    if (QLatin1String(f.code) == QLatin1String("03"))
        return d.day() == 15 ? QDate(d.year(), d.month(), 1) : QDate(d.year(), d.month(), 15).addMonths(-1);
    if (const int m = monthsOf(f))
        return d.addMonths(-m);
    return d.addDays(-f.days);
}

struct Title {
    QString pointer;
    QString name;
    bool thai;
    Frequency frequency;
};

const QStringList thaiShortMonths = {"ม.ค.", "ก.พ.", "มี.ค.", "เม.ย.", "พ.ค.", "มิ.ย.",
                                     "ก.ค.", "ส.ค.", "ก.ย.", "ต.ค.",  "พ.ย.", "ธ.ค."};
const QStringList englishShortMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// How a title numbers its issues, as serials do: a new volume each January or each July,
// numbers from 1 again in every volume, or one run of numbers that never restarts (the
// volume still changing each January). `t` picks the pattern, so titles differ but the
// random stream is the same as ever.
struct Numbering {
    int volumeMonth; // 1 or 7
    bool restarts;
};
Numbering numberingOf(int t) {
    return t % 3 == 0 ? Numbering{1, true} : t % 3 == 1 ? Numbering{7, true} : Numbering{1, false};
}
// The 1st of the volume's month on or before `d`.
QDate volumeStart(const Numbering& n, const QDate& d) {
    QDate s(d.year(), n.volumeMonth, 1);
    return s > d ? s.addYears(-1) : s;
}
// The issue's number within its volume: the issue marks from the volume's start up to it.
int numberInVolume(const Frequency& f, const Numbering& n, const QDate& d) {
    const QDate start = volumeStart(n, d);
    const int months = (d.year() - start.year()) * 12 + d.month() - start.month();
    const QString code = QLatin1String(f.code);
    if (code == QLatin1String("03"))
        return 2 * months + (d.day() >= 15 ? 2 : 1);
    if (const int m = monthsOf(f))
        return m == 12 ? 1 : months / m + 1;
    return int(start.daysTo(d)) / f.days + 1;
}
// The description in the title's style: a day and month for weekly and half-monthly titles,
// a month, a range of months for two- to six-monthly ones, the year for yearly ones; Thai or
// English, now and then in the other era; one title in ten writes none.
QString describe(const Title& title, int t, const QDate& d) {
    if (t % 10 == 9)
        return {};
    const QString code = QLatin1String(title.frequency.code);
    const int era = (title.thai != (t % 7 == 3)) ? 543 : 0;
    const int months = monthsOf(title.frequency);
    if (code == QLatin1String("02") || code == QLatin1String("03"))
        return QStringLiteral("%1 %2 %3")
            .arg(d.day())
            .arg(title.thai ? thaiMonths.at(d.month() - 1) : englishMonths.at(d.month() - 1))
            .arg(d.year() + era);
    if (months == 12)
        return QString::number(d.year() + era);
    if (months > 1) {
        const QDate end = d.addMonths(months - 1);
        const QStringList& names = months == 6 ? (title.thai ? thaiMonths : englishMonths)
                                               : (title.thai ? thaiShortMonths : englishShortMonths);
        return QStringLiteral("%1-%2 %3").arg(names.at(d.month() - 1), names.at(end.month() - 1)).arg(end.year() + era);
    }
    return QStringLiteral("%1 %2")
        .arg(title.thai ? thaiMonths.at(d.month() - 1) : englishMonths.at(d.month() - 1))
        .arg(d.year() + era);
}

// One issue of a messy set's title made to its history's shape: its date (`on`, its mark
// when it comes), year, number, description, and how many rows it gets (0: none is
// published that month; 2: registered twice). `fromOldest` counts the title's issue marks.
void shapeIssue(const QString& shape, const Title& title, qint64 fromOldest, qint64 count, QDate& on, QString& year,
                QString& number, QString& description, int& copies, Random& rnd) {
    const QLatin1String code(title.frequency.code);
    const bool weekly = code == QLatin1String("02"), half = code == QLatin1String("03");
    const int month = on.month();
    const QString era = QString::number(on.year() + (title.thai ? 543 : 0));
    if (shape == u"off-step" && fromOldest >= count / 2) {
        on = on.addDays(weekly ? 2 : half ? 3 : 7); // the newer half registered on another day
    } else if (shape == u"late-early") {
        on = on.addDays(weekly ? rnd.below(3) - 1 : rnd.below(7) - 3);
    } else if (shape == u"registered-twice") {
        copies = rnd.chance(12) ? 2 : 1;
    } else if (shape == u"zero-padded") {
        number = number.rightJustified(2, QLatin1Char('0'));
    } else if (shape == u"blanks") {
        switch (rnd.below(8)) { // one field in eight left blank, as old data has them
        case 0:
            year.clear();
            break;
        case 1:
            description.clear();
            break;
        case 2:
            number.clear();
            break;
        default:
            break;
        }
    } else if (shape == u"volume-words") {
        description = QString(title.thai ? QStringLiteral("ปีที่ %1 ฉบับที่ %2 %3") : QStringLiteral("Vol. %1 No. %2 (%3)"))
                          .arg(year, number, description);
        if (description.endsWith(QLatin1String(" ()")) || description.endsWith(QLatin1Char(' ')))
            description = description.left(description.lastIndexOf(QLatin1Char(' ')));
    } else if (shape == u"count-volumes") { // 52 issues a volume, from the first one's week
        year = QString::number(fromOldest / 52 + 1);
        number = QString::number(fromOldest % 52 + 1);
    } else if (shape == u"half-month") {
        description = QStringLiteral("%1 %2 %3")
                          .arg(on.day() < 15 ? QStringLiteral("ปักษ์แรก") : QStringLiteral("ปักษ์หลัง"),
                               thaiMonths.at(month - 1), QString::number(on.year() + 543));
    } else if (shape == u"skips-months") { // nothing in July and August
        copies = month == 7 || month == 8 ? 0 : 1;
        number = QString::number(month > 8 ? month - 2 : month);
    } else if (shape == u"combined") { // July and August in one issue
        copies = month == 8 ? 0 : 1;
        if (month == 7) {
            number = QStringLiteral("7-8");
            description = (title.thai ? QStringLiteral("กรกฎาคม-สิงหาคม ") : QStringLiteral("July-August ")) + era;
        }
    } else if (shape == u"short-months") {
        description = englishShortMonths.at(month - 1) + QLatin1Char(' ') + QString::number(on.year());
    }
}

} // namespace

QString historyShape(const QString& pointer, const QString& frequencyCode) {
    const QString code = frequencyCode.trimmed();
    const QStringList monthly = {"04", "05", "06", "07", "08"};
    if (code != u"02" && code != u"03" && code != u"09" && !monthly.contains(code))
        return {};
    QStringList shapes = {"tidy",        "tidy",   "tidy",        "off-step", "late-early", "registered-twice",
                          "zero-padded", "blanks", "volume-words"};
    if (code != u"09")
        shapes << "october-volumes";
    if (code == u"02")
        shapes << "count-volumes"
               << "count-volumes";
    if (code == u"03")
        shapes << "half-month"
               << "half-month";
    if (code == u"04")
        shapes << "skips-months"
               << "combined"
               << "short-months";
    if (monthly.contains(code))
        shapes << "ends-new-volume";
    quint32 h = 2166136261u; // FNV-1a: the same shape for a key on every platform
    for (const QChar ch : pointer) {
        h ^= ch.unicode();
        h *= 16777619u;
    }
    return shapes.at(int(h % quint32(shapes.size())));
}

DataSize DataSize::messySet() {
    DataSize s;
    s.titles = 400;
    s.publishers = 60;
    s.messy = true;
    return s;
}

DataSize DataSize::demo() {
    return DataSize{};
}

DataSize DataSize::large() {
    DataSize s;
    s.publishers = 10000;
    s.titles = 20000;
    s.issues = 1000000;
    s.bigTitleIssues = 3000;
    s.authors = 50000;
    s.articles = 70000;
    s.volumes = 5000;
    s.yearsOfIssues = 0;
    return s;
}

DataSize DataSize::huge() {
    DataSize s = large();
    s.titles = 200000;
    s.issues = 10000000;
    return s;
}

DataCounts generate(data::Connection& c, const DataSize& size, const std::function<void(const QString&)>& progress) {
    auto say = [&](const QString& s) {
        if (progress)
            progress(s);
    };
    if (c.query(QStringLiteral("SELECT COUNT(*) FROM magazine")).value(0, 0).toLongLong() > 0)
        throw std::runtime_error("the database already holds titles; generate into an empty one");

    Random rnd(size.seed);
    DataCounts n;

    // Publishers and distributors.
    {
        data::Transaction tx(c);
        BulkInsert dealers(c, QStringLiteral("dealer"),
                           {"Publisher_Code", "Publisher_Name", "Address1", "Address2", "Telephone", "Contact"});
        for (int i = 1; i <= size.publishers; ++i) {
            const bool thai = rnd.chance(50);
            const QString name =
                thai ? QStringLiteral("สำนักพิมพ์%1 %2").arg(rnd.pick(thaiTopics)).arg(i)
                     : QStringLiteral("%1 %2 Publishing %3").arg(rnd.pick(englishLast), rnd.pick(englishTopics)).arg(i);
            dealers.add({QString::number(i), name,
                         thai ? QStringLiteral("%1 ถนนพหลโยธิน").arg(rnd.below(999) + 1)
                              : QStringLiteral("%1 Main Street").arg(rnd.below(999) + 1),
                         thai ? QStringLiteral("กรุงเทพมหานคร 10900") : QStringLiteral("London"),
                         QStringLiteral("02-%1").arg(5000000 + rnd.below(4999999)),
                         thai ? rnd.pick(thaiFirst) + QLatin1Char(' ') + rnd.pick(thaiLast)
                              : rnd.pick(englishFirst) + QLatin1Char(' ') + rnd.pick(englishLast)});
        }
        dealers.flush();
        tx.commit();
        n.publishers = size.publishers;
    }
    say(QStringLiteral("publishers: %1").arg(n.publishers));

    // Titles, numbered per series.
    QList<Title> titles;
    qint64 series[4] = {0, 0, 0, 0}; // J I K L
    {
        data::Transaction tx(c);
        BulkInsert rows(c, QStringLiteral("magazine"), {"Pointer",          "Magazine_Name",   "Parallel_Name",
                                                        "Former_Name",      "Short_Name",      "ISSN",
                                                        "Kind_Code",        "Lang_Code",       "MagType_code",
                                                        "Publisher_Code",   "department_code", "Receive_Code",
                                                        "Cover_Code",       "Copies_Per_Year", "Price_Per_Year",
                                                        "Start_Date",       "End_Date",        "Order_Date",
                                                        "Distributor_Code", "Member_Status",   "Location"});
        QHash<QString, int> used;
        for (int i = 0; i < size.titles; ++i) {
            const int roll = rnd.below(100);
            const int s = roll < 45 ? 0 : roll < 85 ? 1 : roll < 93 ? 2 : 3;
            const bool thai = s == 1 || s == 3;
            const bool paper = s >= 2;
            QString name = paper  ? (thai ? rnd.pick(thaiPapers) : rnd.pick(englishPapers))
                           : thai ? rnd.pick(thaiPrefixes) + rnd.pick(thaiTopics)
                                  : rnd.pick(englishPrefixes) + QLatin1Char(' ') + rnd.pick(englishTopics);
            if (const int k = used[name]++; k > 0)
                name += QStringLiteral(" (%1)").arg(k + 1);
            const QString pointer = data::titleNumbering(s + 1).code(++series[s]);
            Frequency f = paper ? frequencies.at(0) : frequencies.at(1 + rnd.below(9));
            if (i == 0 && size.bigTitleIssues > 0)
                f = frequencies.at(0);
            titles.append({pointer, name, thai, f});
            const QDate start = size.today.addYears(-1 - rnd.below(8)).addDays(-rnd.below(300));
            const QDate end = size.today.addDays(rnd.below(400) - 60);
            const bool subscribed = rnd.chance(85);
            rows.add({pointer,
                      name,
                      thai ? QString() : QString(),
                      QString(),
                      thai ? QString() : name.left(20),
                      QStringLiteral("%1-%2").arg(1000 + rnd.below(9000)).arg(1000 + rnd.below(9000)),
                      paper ? QStringLiteral("04") : QStringLiteral("0%1").arg(1 + rnd.below(3)),
                      thai ? QStringLiteral("02") : QStringLiteral("01"),
                      QString::fromLatin1(f.code),
                      QString::number(1 + rnd.below(size.publishers)),
                      QStringLiteral("0%1").arg(1 + rnd.below(8)),
                      subscribed ? QStringLiteral("1") : QStringLiteral("%1").arg(2 + rnd.below(3)),
                      QStringLiteral("0%1").arg(1 + rnd.below(5)),
                      1 + rnd.below(2),
                      QStringLiteral("%1.00").arg(thai ? 300 + rnd.below(2000) : 2000 + rnd.below(30000)),
                      start,
                      end,
                      end.addYears(-1),
                      QString::number(1 + rnd.below(size.publishers)),
                      QStringLiteral("0%1").arg(1 + rnd.below(3)),
                      QStringLiteral("ชั้น %1 ตู้ %2").arg(1 + rnd.below(3)).arg(1 + rnd.below(40))});
        }
        rows.flush();   // the names' pieces are written by the database's triggers
        if (size.messy) // as other programs and old data leave titles (the key's number picks them)
            for (const char* sql :
                 {"UPDATE magazine SET department_code = NULL WHERE CAST(SUBSTRING(Pointer, 2) AS UNSIGNED) % 10 = 4",
                  "UPDATE magazine SET department_code = '99' WHERE CAST(SUBSTRING(Pointer, 2) AS UNSIGNED) % 20 = 7",
                  "UPDATE magazine SET department_code = '' WHERE CAST(SUBSTRING(Pointer, 2) AS UNSIGNED) % 20 = 17",
                  "UPDATE magazine SET Magazine_Name = CONCAT(Magazine_Name, ' (ฉบับปรับปรุง)') "
                  "WHERE CAST(SUBSTRING(Pointer, 2) AS UNSIGNED) % 25 = 3"})
                c.exec(QString::fromUtf8(sql));
        tx.commit();
        n.titles = size.titles;
    }
    say(QStringLiteral("titles: %1").arg(n.titles));

    // Issues, newest first per title, going back by the title's frequency.
    struct IssueRef {
        qint64 magno;
        int title;
        QString year, number, month;
    };
    QList<IssueRef> indexable; // a sample of received issues to index
    struct Volume {
        QString regno;
        int title;
        QString first, last; // year/number of its first and last issue
    };
    QList<Volume> volumes;
    qint64 magno = 0;
    {
        const int others = titles.size() - (size.bigTitleIssues > 0 ? 1 : 0);
        const qint64 rest = qMax<qint64>(0, size.issues - size.bigTitleIssues);
        BulkInsert rows(
            c, QStringLiteral("tranfile"),
            {"magno", "pointer", "indate", "daily", "yearno", "itemsno", "DescriptionItem", "MagStatus", "regno"});
        c.begin();
        for (int t = 0; t < titles.size(); ++t) {
            const Title& title = titles.at(t);
            qint64 count = (t == 0 && size.bigTitleIssues > 0) ? size.bigTitleIssues
                                                               : rest / others + (t <= rest % others ? 1 : 0);
            if (size.yearsOfIssues > 0)
                count = qBound(2, size.yearsOfIssues * 365 / title.frequency.days, 400);
            QDate daily = newestMark(title.frequency, size.today.addDays(-rnd.below(qMax(1, title.frequency.days))));
            const int firstYear = daily.addDays(-title.frequency.days * int(count)).year();
            // Issues 12 to 35 back from the newest (as many as there are) make one bound volume.
            const bool binds = count >= 14 && title.frequency.days >= 15 && volumes.size() < size.volumes;
            if (binds)
                volumes.append({code(data::Numbered::Volume, volumes.size() + 1), t, {}, {}});
            const bool regular = monthsOf(title.frequency) > 0 || QLatin1String(title.frequency.code) == "02" ||
                                 QLatin1String(title.frequency.code) == "03";
            const QString shape =
                size.messy && regular ? historyShape(title.pointer, QLatin1String(title.frequency.code)) : QString();
            Numbering numbering = numberingOf(t);
            if (shape == u"october-volumes")
                numbering = {10, true};
            else if (shape == u"skips-months" || shape == u"combined" || shape == u"ends-new-volume")
                numbering = {1, true};
            if (shape == u"ends-new-volume") // the newest issue is the first of a volume
                daily = volumeStart(numbering, daily);
            const QDate firstVolume = volumeStart(numbering, daily.addDays(-title.frequency.days * int(count)));
            for (qint64 k = 0; k < count; ++k) {
                const int perYear = qMax(1, 365 / title.frequency.days);
                QString yearNo = QString::number(daily.year() - firstYear + 1);
                QString itemNo = QString::number(qMin(perYear, daily.dayOfYear() * perYear / 366 + 1));
                QString month =
                    title.thai ? QStringLiteral("%1 %2").arg(thaiMonths.at(daily.month() - 1)).arg(daily.year() + 543)
                               : QStringLiteral("%1 %2").arg(englishMonths.at(daily.month() - 1)).arg(daily.year());
                if (regular) {
                    yearNo = QString::number(volumeStart(numbering, daily).year() - firstVolume.year() + 1);
                    itemNo = QString::number(numbering.restarts ? numberInVolume(title.frequency, numbering, daily)
                                                                : int(count - k));
                    month = describe(title, t, daily);
                }
                QDate on = daily;
                int copies = 1;
                if (!shape.isEmpty())
                    shapeIssue(shape, title, count - 1 - k, count, on, yearNo, itemNo, month, copies, rnd);
                ++magno;
                const bool bound = copies > 0 && binds && k >= 12 && k < 36;
                if (bound) {
                    if (volumes.last().last.isEmpty())
                        volumes.last().last = QStringLiteral("%1 %2 %3").arg(yearNo, itemNo, month);
                    volumes.last().first = QStringLiteral("%1 %2 %3").arg(yearNo, itemNo, month);
                }
                // About one issue in thirty never arrives (except those bound later).
                const bool arrived = copies > 0 && (bound || !rnd.chance(3));
                for (int copy = 0; arrived && copy < copies; ++copy)
                    rows.add({QString::number(copy ? ++magno : magno), title.pointer, on.addDays(3 + rnd.below(20)), on,
                              yearNo, itemNo, month, bound ? QStringLiteral("Z") : QStringLiteral("O"),
                              bound ? volumes.last().regno : QString()});
                if (arrived && k < 12 && indexable.size() < size.articles && rnd.chance(40))
                    indexable.append({magno, t, yearNo, itemNo, month});
                daily = previousMark(title.frequency, daily);
                if (magno % 50000 == 0) {
                    rows.flush();
                    c.commit();
                    c.begin();
                    say(QStringLiteral("issues: %1").arg(magno));
                }
            }
        }
        rows.flush();
        c.commit();
        n.issues = magno;
    }
    say(QStringLiteral("issues: %1").arg(n.issues));

    // Bound volumes, their call numbers worded for the title's language.
    {
        data::Transaction tx(c);
        BulkInsert rows(c, QStringLiteral("sum_journal"), {"regno", "callno", "status"});
        for (const Volume& v : volumes) {
            const Title& title = titles.at(v.title);
            const QStringList first = v.first.split(QLatin1Char(' '));
            const QStringList last = v.last.split(QLatin1Char(' '));
            const QString callno = title.thai ? QStringLiteral("%1 ป.%2-%3 ฉ.%4-%5")
                                                    .arg(title.name, first.at(0), last.at(0), first.at(1), last.at(1))
                                              : QStringLiteral("%1 Vol.%2-%3 No.%4-%5")
                                                    .arg(title.name, first.at(0), last.at(0), first.at(1), last.at(1));
            rows.add({v.regno, callno, QStringLiteral("ST")});
        }
        rows.flush();
        tx.commit();
        n.volumes = volumes.size();
    }
    say(QStringLiteral("volumes: %1").arg(n.volumes));

    // Authors, some of them pen names of an earlier author.
    {
        data::Transaction tx(c);
        BulkInsert rows(c, QStringLiteral("authname"), {"idno", "penname", "trueidno"});
        for (int i = 1; i <= size.authors; ++i) {
            const bool thai = rnd.chance(65);
            QString name = thai ? rnd.pick(thaiFirst) + QLatin1Char(' ') + rnd.pick(thaiLast)
                                : rnd.pick(englishLast) + QStringLiteral(", ") + rnd.pick(englishFirst);
            if (size.authors > 150)
                name += QStringLiteral(" %1").arg(i);
            const bool pen = i > 10 && rnd.chance(5);
            rows.add({code(data::Numbered::Author, i), name,
                      pen ? QVariant(code(data::Numbered::Author, 1 + rnd.below(i - 1))) : QVariant(QString())});
        }
        rows.flush();
        tx.commit();
        n.authors = size.authors;
    }
    say(QStringLiteral("authors: %1").arg(n.authors));

    // Articles of received issues with their authors and subject headings.
    {
        c.begin();
        BulkInsert articles(c, QStringLiteral("article"),
                            {"article_no", "Article_Name", "spare", "pointer", "year", "volume", "month", "pages",
                             "remark", "abstract", "keydate"});
        BulkInsert authors(c, QStringLiteral("mauthfile"), {"article_no", "seqno", "idno", "article_name"});
        BulkInsert heads(c, QStringLiteral("msubject"), {"article_no", "seqno", "subject", "article_name"});
        const QDateTime stamp(size.today, QTime(9, 0));
        for (qint64 a = 1; a <= size.articles; ++a) {
            const IssueRef& issue =
                indexable.isEmpty() ? IssueRef{0, 0, "1", "1", ""} : indexable.at(int((a - 1) % indexable.size()));
            const Title& title = titles.at(issue.title);
            QStringList words;
            for (int w = 0; w < 4 + rnd.below(5); ++w)
                words << (title.thai ? rnd.pick(thaiArticleWords) : rnd.pick(englishArticleWords));
            const QString name = words.join(title.thai ? QString() : QStringLiteral(" "));
            const QString no = code(data::Numbered::Article, a);
            const int firstPage = 1 + rnd.below(120);
            articles.add({no, name, QStringLiteral(" "), title.pointer, issue.year, issue.number, issue.month,
                          QStringLiteral("%1-%2").arg(firstPage).arg(firstPage + 3 + rnd.below(20)), QString(),
                          rnd.chance(30) ? QStringLiteral("บทคัดย่อ: ") + name : QString(), stamp.addSecs(a * 60)});
            const int authorCount = 1 + rnd.below(3);
            for (int s = 1; s <= authorCount; ++s, ++n.authorLinks)
                authors.add({no, s, code(data::Numbered::Author, 1 + rnd.below(qMax(1, size.authors))), name});
            const int subjectCount = 2 + rnd.below(2) + (rnd.chance(36) ? 1 : 0); // about 2.86 an article
            for (int s = 1; s <= subjectCount; ++s, ++n.subjects)
                heads.add({no, s, rnd.pick(subjects), name});
            if (a % 20000 == 0) {
                articles.flush();
                authors.flush();
                heads.flush();
                c.commit();
                c.begin();
                say(QStringLiteral("articles: %1").arg(a));
            }
        }
        articles.flush();
        authors.flush();
        heads.flush();
        c.commit();
        n.articles = size.articles;
    }
    say(QStringLiteral("articles: %1, author links: %2, subject rows: %3")
            .arg(n.articles)
            .arg(n.authorLinks)
            .arg(n.subjects));

    // Every counter moves past what was written.
    {
        using data::Numbered;
        const QHash<Numbered, qint64> last = {{Numbered::Issue, magno},      {Numbered::Article, n.articles},
                                              {Numbered::Author, n.authors}, {Numbered::Volume, n.volumes},
                                              {Numbered::TitleJ, series[0]}, {Numbered::TitleI, series[1]},
                                              {Numbered::TitleK, series[2]}, {Numbered::TitleL, series[3]}};
        data::Transaction tx(c);
        for (const data::Numbering& k : data::numberings()) // the table and column are the program's own
            c.exec(QStringLiteral("UPDATE %1 SET %2 = ?").arg(k.table, k.column),
                   {k.counterText(last.value(k.kind) + 1)});
        tx.commit();
    }
    return n;
}

} // namespace datagen
