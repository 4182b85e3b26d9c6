#include "app/Permissions.h"

#include "forms/common/Restricted.h"

#include <QAbstractButton>
#include <QWidget>

namespace app {

const QList<Permission>& permissions() {
    using data::Role;
    const auto list = [](const char* names) { return QString::fromLatin1(names).split(QLatin1Char(' ')); };
    static const QList<Permission> all = {
        {QStringLiteral("Adddealer"), list("Command5 Command4 Command1"), Role::Supervision},
        {QStringLiteral("New_Journal"), list("Cmdadd Cmdedit Cmddel Cmdsave Cmdmarcin"), Role::Supervision},
        {QStringLiteral("reg_journal"), list("Command2 Command11 Command3 Command7"), Role::CheckIn},
        {QStringLiteral("reg_journal"), list("Command6"), Role::Supervision},
        {QStringLiteral("PatternEditor"), list("Cmdsave Cmdlearn"), Role::Supervision},
        {QStringLiteral("add_auther"), list("Cmdadd cmdsaveadd Cmdedit Cmdsaveedit"), Role::Indexing},
        {QStringLiteral("index_journal"), list("Command4"), Role::Indexing},
        {QStringLiteral("edit_index_journal"), list("Cmdedit Cmdsave"), Role::Indexing},
        {QStringLiteral("edit_index_journal"), list("Cmddel"), Role::Supervision},
        {QStringLiteral("sum_journal"), list("Cmdadd Cmdedit Cmdsave"), Role::CheckIn},
        {QStringLiteral("articlectrl"), list("Cmdedit Cmdsave"), Role::Supervision},
        {QStringLiteral("expdate"), list("cmdedit cmdsave"), Role::Supervision},
        {QStringLiteral("ReaderRegister"), list("Cmdadd Cmdedit Cmddel Cmdsave Cmdremovetitle"), Role::Supervision},
    };
    return all;
}

QString roleTip(data::Role role) {
    return QStringLiteral("ต้องมีบทบาท \"%1\" (%2)").arg(data::roleCaption(role), data::roleSqlName(role));
}

void restrictWindow(const QString& kind, QWidget* window, const data::SignedIn& who) {
    for (const Permission& p : permissions()) {
        if (p.kind != kind || who.has(p.role))
            continue;
        for (const QString& name : p.buttons)
            if (auto* b = window->findChild<QAbstractButton*>(name))
                forms::keepOff(b, roleTip(p.role));
    }
}

const QList<HistoryPlace>& historyPlaces() {
    static const QList<HistoryPlace> all = {
        {QStringLiteral("Adddealer"), QStringLiteral("dealer"), QStringLiteral("Text1"), {}},
        {QStringLiteral("New_Journal"), QStringLiteral("magazine"), QStringLiteral("Text1"), {}},
        {QStringLiteral("reg_journal"), QStringLiteral("tranfile"), QStringLiteral("Text2"), {}},
        {QStringLiteral("PatternEditor"), QStringLiteral("pub_pattern"), QStringLiteral("Text2"), {}},
        {QStringLiteral("add_auther"), QStringLiteral("authname"), QStringLiteral("Text1"), {}},
        {QStringLiteral("edit_index_journal"), QStringLiteral("article"), QStringLiteral("Text1"), {}},
        {QStringLiteral("sum_journal"), QStringLiteral("sum_journal"), QStringLiteral("Text2"), {}},
        {QStringLiteral("articlectrl"), QStringLiteral("artctrl"), {}, {}},
        {QStringLiteral("expdate"), QStringLiteral("magazine"), QStringLiteral("Text3"),
         QStringLiteral("SELECT Pointer FROM magazine WHERE Magazine_Name = ? ORDER BY Pointer LIMIT 1")},
        {QStringLiteral("ReaderRegister"), QStringLiteral("reader"), QStringLiteral("Textemail"),
         QStringLiteral("SELECT reader_id FROM reader WHERE email = ? LIMIT 1")},
    };
    return all;
}

} // namespace app
