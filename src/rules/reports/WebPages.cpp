#include "rules/reports/WebPages.h"

#include <algorithm>

namespace reports {

const QList<WebPageInfo>& webPages() {
    using P = WebPage;
    static const QList<WebPageInfo> all = {
        {P::Home, QString(), QStringLiteral("ระบบวารสาร · รายงานและสืบค้น"), QString()},
        {P::AllTitles, QStringLiteral("rpt_journal/rpt_journal_all.php"), QStringLiteral("รายชื่อวารสารที่บอกรับทั้งหมด"),
         QStringLiteral("titles")},
        {P::TitlesByFaculty, QStringLiteral("rpt_journal/rpt_journal_department.php"),
         QStringLiteral("รายชื่อวารสารแยกตามคณะวิชา"), QStringLiteral("titles-by-faculty")},
        {P::Registrations, QStringLiteral("rpt_journal/rpt_regis_journal.php"),
         QStringLiteral("รายงานการลงทะเบียนวารสาร"), QStringLiteral("registrations")},
        {P::BoundVolumes, QStringLiteral("rpt_journal/main_sum_journal.php"),
         QStringLiteral("รายงานรายชื่อวารสารส่งเย็บเล่ม"), QStringLiteral("bound-volumes")},
        {P::IndexEntries, QStringLiteral("rpt_journal/rpt_index_journal.php"),
         QStringLiteral("รายงานการบันทึกดรรชนีวารสาร"), QStringLiteral("index-entries")},
        {P::TitleIssues, QStringLiteral("rpt_journal/rpt_title_issues.php"),
         QStringLiteral("ทะเบียนการรับวารสารรายชื่อเรื่อง"), QStringLiteral("title-issues")},
        {P::Publishers, QStringLiteral("rpt_journal/rpt_publishers.php"), QStringLiteral("รายชื่อสำนักพิมพ์และผู้จัดจำหน่าย"),
         QStringLiteral("publishers")},
        {P::Claims, QStringLiteral("rpt_journal/rpt_claims.php"), QStringLiteral("การทวงถามวารสารแยกตามผู้จัดจำหน่าย"),
         QStringLiteral("claims")},
        {P::Statistics, QStringLiteral("rpt_journal/rpt_statistics.php"), QStringLiteral("สถิติ"), QString()},
        {P::Search, QStringLiteral("main_search_journal.asp"), QStringLiteral("สืบค้นดรรชนีวารสาร"), QString()},
        {P::References, QStringLiteral("rpt_journal/main_refer_journal.php"),
         QStringLiteral("สืบค้นดรรชนีวารสาร (รูปแบบบรรณานุกรม)"), QString()},
    };
    return all;
}

const WebPageInfo& webPage(WebPage page) {
    const QList<WebPageInfo>& all = webPages();
    return *std::find_if(all.cbegin(), all.cend(), [page](const WebPageInfo& p) { return p.page == page; });
}

} // namespace reports
