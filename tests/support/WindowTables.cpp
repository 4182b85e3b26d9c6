// Every window the menu opens: its controls' states in each mode, the modes its pick lists and
// calendars show in, the tables its saves may change and the stored record each mode shows.
#include "app/HomePanel.h"
#include "index/add_auther.h"
#include "index/articlectrl.h"
#include "index/edit_index_journal.h"
#include "receipt/PatternEditor.h"
#include "receipt/check_receive.h"
#include "receipt/reg_journal.h"
#include "support/Explorer.h"
#include "titles/Adddealer.h"
#include "titles/New_Journal.h"
#include "titles/ReaderRegister.h"
#include "titles/expdate.h"
#include "volumes/sum_journal.h"

namespace testsupport {

namespace {

template <typename W> std::function<QString(QWidget*)> modeOf() {
    return [](QWidget* w) {
        return QString::fromLatin1(QMetaEnum::fromType<typename W::Mode>().valueToKey(int(static_cast<W*>(w)->mode())));
    };
}
std::function<QString(QWidget*)> oneMode(const char* name) {
    return [name](QWidget*) { return QString::fromLatin1(name); };
}

} // namespace

const QList<WindowTable>& windowTables() {
    static const QList<WindowTable> tables = {
        {"i", "Adddealer", modeOf<titles::Adddealer>(),
         "Idle: Command5 -Command4 -Command1 -Text3 -Text4 -Text5 -Textmail -cbolanguage -Textdays Text2;"
         "Shown: -Command5 Command4 -Command1 -Text3 -Text4 -Text5 -Textmail -cbolanguage -Textdays;"
         "Adding: -Command5 -Command4 Command1 Text3 Text4 Text5 Textmail cbolanguage Textdays;"
         "Editing: -Command5 -Command4 Command1 Text3 Text4 Text5 Textmail cbolanguage Textdays",
         "Listdealer: Idle Shown", "Text2: ก,สำนักพิมพ์,Press,ซีเอ็ด", "dealer",
         "Shown: SELECT Address1, Address2 FROM dealer WHERE Publisher_Code = ? | Text1 | Text3 Text4",
         "Adding Editing"},
        {"aaa", "New_Journal", modeOf<titles::New_Journal>(),
         "Idle: Cmdadd -Cmdedit -Cmddel -Cmdsave -Cmdcancle Text2 -Text3 -Command1 -dcbtypemag -Cmdmarcin Cmdmarcout;"
         "Shown: -Cmdadd Cmdedit Cmddel -Cmdsave Cmdcancle Text2 -Text3 -Command1 -dcbtypemag -Cmdmarcin Cmdmarcout;"
         "Adding: -Cmdadd -Cmdedit -Cmddel Cmdsave Cmdcancle Text3 Command1 dcbtypemag Cmdmarcin -Cmdmarcout;"
         "Editing: -Cmdadd -Cmdedit -Cmddel Cmdsave Cmdcancle Text3 Command1 dcbtypemag -Cmdmarcin -Cmdmarcout",
         "dlbdealer: Adding Editing; MonthView1: Adding Editing; MonthView2: Adding Editing",
         "Text2: วารสาร,Journal,ก,การ; Text10: ก,Press; Text14: ก,Press; Text3: 1234-5678,0000-0000",
         "magazine magazine_gram pub_pattern",
         "Shown: SELECT Copies_Per_Year, Price_Per_Year, DATE_FORMAT(Order_Date, '%d/%m/%Y') FROM magazine "
         "WHERE pointer = ? | Text1 | Text7 Text11 Mask5",
         "Adding Editing"},
        {"ccc", "reg_journal", modeOf<receipt::reg_journal>(),
         "Cleared: Text1 Command1 Command8 Command5 -Command9 -Command10 -Command2 -Command11 -Command3 -Command6 "
         "-Command7 -Command4 -Text2 -Text3 -Text4 -Text5 -Text6 -Text7;"
         "Browsing: -Command7 -Command4 -Text4 -Text5 -Text6 -Command9 -Command10;"
         "Adding: -Command2 -Command11 -Command3 -Command6 Command7 Command4 Text4 Text5 Text6 Command9 Command10 "
         "-show_journal -show_item;"
         "Editing: -Command2 -Command11 -Command3 -Command6 Command7 Command4 Text4 Text5 Text6 Command9 Command10 "
         "-show_journal -show_item",
         "MonthView1: Adding Editing; MonthView2: Adding Editing",
         "Text1: วารสาร,Journal,ก; Text4: 1,12,2569; Text5: 3,10; Text6: มกราคม 2570,March 2027",
         "tranfile jourctrl article article_gram mauthfile msubject pub_pattern",
         "Browsing: SELECT DATE_FORMAT(t.daily, '%d/%m/%Y'), t.yearno, t.itemsno, t.DescriptionItem, "
         "DATE_FORMAT(t.indate, '%d/%m/%Y') FROM (SELECT 1) x LEFT JOIN tranfile t ON t.magno = ? | Text2 | "
         "Text3 Text4 Text5 Text6 Text7",
         "Adding Editing"},
        {"m_auth", "add_auther", modeOf<indexing::add_auther>(),
         "Idle: Text1 Text2 -Text3 Cmdadd Cmdsearch Cmdcan -Cmdedit -cmdsaveadd -Cmdsaveedit;"
         "Found: Cmdedit Cmdcan -Cmdadd -Cmdsearch -cmdsaveadd -Cmdsaveedit;"
         "Shown: Cmdedit Cmdcan -Cmdadd -Cmdsearch -Text1 -Text2 -cmdsaveadd -Cmdsaveedit;"
         "Adding: -Cmdadd cmdsaveadd -Cmdsearch Text2 -Cmdsaveedit;"
         "Editing: -Cmdedit Cmdsaveedit -Cmdadd -Cmdsearch Text2 -cmdsaveadd",
         "showauth: Found", "Text1: 0000001,0000010,1; Text2: สม,ก,Smith,วิ; Text3: ก,สมชาย", "authname authctrl",
         "Shown: SELECT penname FROM authname WHERE idno = ? | Text1 | Text2", "Adding Editing"},
        {"addnew_index", "index_journal", oneMode("Entry"), "Entry: Command4 Command3 Text2 Text7 Text3_0 Text6_0", "",
         "Text7: วารสาร,Journal,ก; Text3_0: ก,สม,Smith; Text6_0: การ,ก,วิทยา; Text8: 1,2569; Text9: 3; Text10: 1-10",
         "article article_gram mauthfile msubject artctrl"},
        {"edit_index", "edit_index_journal", modeOf<indexing::edit_index_journal>(),
         "Empty: Text1 -Cmdedit -Cmdsave -Cmdcancel -Cmddel -Text8 Command1 Command2;"
         "Browse: Text1 Cmdnext Cmdprev Cmdedit -Cmdsave -Cmdcancel -Text3_0 -Text6_0 -Text8 -Command3;"
         "Edit: -Text1 -Cmdnext -Cmdprev -Cmdedit -Cmddel Cmdsave Cmdcancel Text3_0 Text6_0 Text8 Command3",
         "List_Index: Empty Browse; List_authname: Edit; list_subject: Edit; dlbnamemag: Edit",
         "Text1: 1,41,600,0000001,0000600,9999999; Text2: ก,การ,วารสาร; Text7: วารสาร,ก; Text3_0: ก,สม; Text6_0: การ",
         "article article_gram mauthfile msubject",
         "Browse: SELECT year, volume, pages, COALESCE(remark, '') FROM article WHERE article_no = ? | Text1 | Text8 "
         "Text9 Text11 Text12",
         "Edit"},
        {"ddd", "sum_journal", modeOf<volumes::sum_journal>(),
         "Idle: -Cmdedit -Cmdsave -Cmdcancel -sum_item;"
         "New: -Text1 -Cmdsearch -Cmdclear -Cmdadd -Cmdedit -Cmdnext -Cmdprevious Cmdsave Cmdcancel show_item sum_item "
         "-Text2 "
         "Text3 -show_journal;"
         "Shown: -Text1 -Cmdsearch -Cmdclear -Cmdadd Cmdedit Cmdnext Cmdprevious -Cmdsave -Cmdcancel -show_item "
         "-sum_item "
         "-show_journal -Text2;"
         "Edit: -Cmdadd -Cmdedit -Cmdnext -Cmdprevious Cmdsave Cmdcancel show_item sum_item -Text2 Text3 -clear_sumj",
         "list_namesumj: Idle Shown",
         "Text1: วารสาร,Journal,ก,การ; Text2: B000001,b000005,B000040,B000900,b000900,B000999; Text3: ว,J,A,วารสาร",
         "sum_journal tranfile ctrlsumj", "Shown: SELECT callno FROM sum_journal WHERE regno = ? | Text2 | Text3",
         "New Edit"},
        {"article_ctrl", "articlectrl", modeOf<indexing::articlectrl>(),
         "View: -Text_regctrl Cmdedit -Cmdsave Cmdcan; Edit: Text_regctrl -Cmdedit Cmdsave Cmdcan", "",
         "Text_regctrl: 100,601,1,0,9999999,0000700", "artctrl", "", "Edit"},
        {"jjjj", "expdate", modeOf<titles::expdate>(),
         "Idle: Command1 -cmdedit -cmdsave -Command6 -Command7 -Cmdcancel -Text5;"
         "Listed: -Command1 -cmdedit -cmdsave -Cmdcancel -Command6 -Command7 -Text5;"
         "Chosen: cmdedit -cmdsave -Cmdcancel -Command6 -Command7 -Text5 -Text8;"
         "Editing: -cmdedit cmdsave Cmdcancel Command6 Command7 Text5 -showjour",
         "MonthView3: Editing; MonthView4: Editing",
         "Text1: 01/01/2026,31/12/2569,29/02/2024,15/06/2570; Text2: 01/01/2026,31/12/2569,29/02/2024,15/06/2570; "
         "Text5: 100,1500.50,abc",
         "magazine",
         "Chosen: SELECT Price_Per_Year, DATE_FORMAT(Order_Date, '%d/%m/%Y'), DATE_FORMAT(End_Date, '%d/%m/%Y') "
         "FROM magazine WHERE Magazine_Name = ? | Text3 | Text5 Text7 Text8",
         "Editing"},
        {"readers", "ReaderRegister", modeOf<titles::ReaderRegister>(),
         "Idle: Cmdadd -Cmdedit -Cmddel -Cmdsave -Cmdcancel -Cmdremovetitle Textsearch -Textname -Texttitle;"
         "Shown: Cmdadd Cmdedit Cmddel -Cmdsave -Cmdcancel -Cmdremovetitle Textsearch -Textname -Textemail;"
         "Adding: -Cmdadd -Cmdedit -Cmddel Cmdsave Cmdcancel Cmdremovetitle -Textsearch Textname Textemail Texttitle;"
         "Editing: -Cmdadd -Cmdedit -Cmddel Cmdsave Cmdcancel Cmdremovetitle -Textsearch Textname Textemail Texttitle",
         "lstreaders: Idle Shown; lstfound: Adding Editing",
         "Textsearch: ก,@,example; Texttitle: วารสาร,Journal,ก; Textemail: a@example.ac.th,b@example.ac.th,bad address",
         "reader reader_title alert_issue",
         "Shown: SELECT reader_name, email FROM reader WHERE email = ? | Textemail | Textname Textemail",
         "Adding Editing"},
        {"pattern", "PatternEditor", modeOf<receipt::PatternEditor>(),
         "Idle: Text1 -Cmdsave -Cmdlearn Cmdcheck Command6 -chkmonth1 -cbonumbers -Textvolissues;"
         "Shown: Text1 -Cmdsave chkmonth1 chkmonth12 cbovolmonth cbonumbers Textvolissues Command6;"
         "Editing: Text1 Cmdsave chkmonth1 cbonumbers Textvolissues Command6",
         "lsttitles: Idle Shown Editing", "Text1: วารสาร,Journal,ก; Textvolissues: 0,12,1000,x", "pub_pattern",
         "Shown: SELECT Pointer FROM magazine WHERE Pointer = ? | Text2 | Text2", "Editing"},
        {"chk_recei", "check_receive", modeOf<receipt::check_receive>(),
         "Empty: Command3 Command4 -print -pdf -csv; Report: Command3 Command4 print pdf csv", "",
         "Text1: 01/01/2026,31/12/2569,29/02/2024,15/06/2570; Text2: 01/01/2026,31/12/2569,29/02/2024,15/06/2570",
         "chk_receive"},
        {"claims", "ClaimsWindow", oneMode("Ready"), "Ready: Text1 Text2 Command3 Cmdreport Command6", "",
         "Text1: 01/01/2025,31/12/2569,29/02/2024,15/06/2570; Text2: 01/01/2026,31/12/2569,29/02/2024,15/06/2570",
         "claim alert_mail"},
        {"rep_journal_survey", "frmrep_journ_serv", oneMode("Ready"),
         "Ready: opttype_0 opttype_1 cmdprint cmdexit Cmd_datestart Cmd_datestop", "",
         "txtstart: 01/01/2026,31/12/2569,29/02/2024,15/06/2570; txtstop: 01/01/2026,31/12/2569,29/02/2024,15/06/2570",
         ""},
        {"home", "HomePanel", modeOf<app::HomePanel>(), "Reading: txtglance -Cmdrefresh Command6; Ready: txtglance Cmdrefresh Command6",
         "", "", ""},
        {"history_rep", "HistoryReport", oneMode("Ready"), "Ready: Text1 Text2 cmdShow cmdExit", "",
         "Text1: 01/01/2026,31/12/2569,29/02/2024,15/06/2570; Text2: 01/01/2026,31/12/2569,29/02/2024,15/06/2570", ""},
    };
    return tables;
}

} // namespace testsupport
