#include "app/MenuTable.h"
#include "rules/reports/WebPages.h"

namespace app {

const QList<MenuEntry>& mainMenu() {
    using A = MenuEntry::Action;
    using P = reports::WebPage;
    const auto page = [](P p) { return reports::webPage(p).path; };
    // Captions are kept exactly as the staff have always seen them, typing slips included.
    static const QList<MenuEntry> entries = {
        {1, QStringLiteral("home"), QStringLiteral("งานวันนี้"), A::Window, {}},
        {1, QStringLiteral("maindt"), QStringLiteral("กำหนดค่า"), A::Submenu, {}},
        {2, QStringLiteral("m_auth"), QStringLiteral("ผู้แต่ง"), A::Window, {}},
        {2, QStringLiteral("i"), QStringLiteral("สำนักพิมพ์"), A::Window, {}},
        {1, QStringLiteral("Inputdata"), QStringLiteral("บันทึกข้อมูล"), A::Submenu, {}},
        {2, QStringLiteral("aaa"), QStringLiteral("เพิ่ม/แก้ไข ข้อมูลวารสาร"), A::Window, {}},
        {2, QStringLiteral("ccc"), QStringLiteral("ลงทะเบียนวารสาร"), A::Window, {}},
        {2, QStringLiteral("pattern"), QStringLiteral("รูปแบบการออกของวารสาร"), A::Window, {}},
        {2, QStringLiteral("index_j"), QStringLiteral("บันทึกครรชนีวารสาร"), A::Submenu, {}},
        {3, QStringLiteral("addnew_index"), QStringLiteral("บันทึกดรรชนีวารสารใหม่"), A::Window, {}},
        {3, QStringLiteral("edit_index"), QStringLiteral("แก้ไขดรรชนีวารสาร"), A::Window, {}},
        {2, QStringLiteral("ddd"), QStringLiteral("วารสารรวมเล่ม"), A::Window, {}},
        {2, QStringLiteral("article_ctrl"), QStringLiteral("เลขทะเบียนดรรชนีวารสาร"), A::Window, {}},
        {2, QStringLiteral("jjjj"), QStringLiteral("ต่ออุายวารสาร"), A::Window, {}},
        {2, QStringLiteral("readers"), QStringLiteral("ผู้รับแจ้งวารสารฉบับใหม่"), A::Window, {}},
        {2, QStringLiteral("claims"), QStringLiteral("ทวงถามวารสาร"), A::Window, {}},
        {1, QStringLiteral("reportjounal"), QStringLiteral("รายงาน"), A::Submenu, {}},
        {2, QStringLiteral("cccc"), QStringLiteral("รายงานรายชื่อวารสาร"), A::Submenu, {}},
        {3, QStringLiteral("jour_all"), QStringLiteral("ทั้งหมด"), A::Web, page(P::AllTitles)},
        {3, QStringLiteral("jour_dep"), QStringLiteral("แยกตามคณะวิชา"), A::Web, page(P::TitlesByFaculty)},
        {2, QStringLiteral("rpt_regis"), QStringLiteral("รายงานการลงทะเบียนวารสาร"), A::Web, page(P::Registrations)},
        {2, QStringLiteral("rep_journal_survey"), QStringLiteral("รายงานสำหรับสำรวจวารสาร"), A::Window, {}},
        {2, QStringLiteral("bbbb"), QStringLiteral("รายงานรายชื่อวาวรสารส่งเย็บเล่ม"), A::Web, page(P::BoundVolumes)},
        {2, QStringLiteral("ffff"), QStringLiteral("รายงานการบันทึกดรรรชนีวารสาร"), A::Web, page(P::IndexEntries)},
        {2, QStringLiteral("chk_recei"), QStringLiteral("ตรวจสอบการรับวารสาร"), A::Window, {}},
        {2, QStringLiteral("history_rep"), QStringLiteral("ประวัติการแก้ไขข้อมูล"), A::Window, {}},
        {2, QStringLiteral("stats"), QStringLiteral("สถิติ"), A::Web, page(P::Statistics)},
        {2, QStringLiteral("aaaa"), QStringLiteral("พิมพ์บัตรดัชนีวารสาร"), A::Hidden, {}},
        {1, QStringLiteral("search_journal"), QStringLiteral("สืบค้นข้อมูล"), A::Submenu, {}},
        {2, QStringLiteral("aaaaaa"), QStringLiteral("สืบค้นดรรชนีวารสาร"), A::Web, page(P::Search)},
        {2, QStringLiteral("journal_refer"), QStringLiteral("สืบค้นดรรชนีวารสาร(รูปแบบบรรณานุกรม)"), A::Web,
         page(P::References)},
        {1, QStringLiteral("menusignin"), QStringLiteral("เปลี่ยนผู้ใช้"), A::SignIn, {}},
        {1, QStringLiteral("menuexit"), QStringLiteral("ออกจากโปรแกรม"), A::Exit, {}},
    };
    return entries;
}

} // namespace app
