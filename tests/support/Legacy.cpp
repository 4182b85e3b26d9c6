#include "support/Legacy.h"
#include "data/SaveGate.h"
#include "data/Schema.h"

namespace testsupport {

void makeLegacy(data::Connection& admin) {
    data::waiveSaveChecks(admin);
    admin.exec(QStringLiteral("SET SESSION sql_mode = ''"));
    // From before the searches kept pieces of the texts.
    for (const data::ExpectedTrigger& t : data::schemaTriggers())
        admin.exec(QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(t.name));
    admin.exec(QStringLiteral("DROP TABLE IF EXISTS magazine_gram, msubject_gram, article_gram, pub_pattern, title_latest, arrival_month"));
    const data::Result keys = admin.query(
        QStringLiteral("SELECT t.TABLE_NAME, (SELECT GROUP_CONCAT(DISTINCT CONCAT('DROP INDEX `', s.INDEX_NAME, '`')) "
                       "FROM information_schema.STATISTICS s WHERE s.TABLE_SCHEMA = t.TABLE_SCHEMA AND s.TABLE_NAME = "
                       "t.TABLE_NAME AND s.INDEX_NAME <> 'PRIMARY') FROM information_schema.TABLES t "
                       "WHERE t.TABLE_SCHEMA = DATABASE()"));
    for (int i = 0; i < keys.rowCount(); ++i) {
        const QString drop = keys.text(i, 1);
        admin.exec(QStringLiteral("ALTER TABLE `%1` %2 ENGINE=MyISAM, CONVERT TO CHARACTER SET tis620")
                       .arg(keys.text(i, 0), drop.isEmpty() ? QString() : drop + QLatin1Char(',')));
    }
    for (const char* sql : {
             "ALTER TABLE dealer MODIFY Publisher_Name VARBINARY(255) NOT NULL DEFAULT ''",
             "ALTER TABLE dealer MODIFY Publisher_Name VARCHAR(255) CHARACTER SET latin1 NOT NULL DEFAULT ''",
             "UPDATE magazine SET End_Date = '0000-00-00' WHERE End_Date IS NULL",
             "UPDATE tranfile SET ReturnDate = '0000-00-00' WHERE ReturnDate IS NULL",
             "ALTER TABLE ctrlsumj MODIFY regno_ctrl VARCHAR(20) NOT NULL",
             "UPDATE artctrl SET artno_ctrl = CONCAT(' ', artno_ctrl + 0)",
             "UPDATE authctrl SET idno_ctrl = CONCAT(idno_ctrl + 0, ' ')",
             // from before the receipt check kept each station's rows apart
             // and with a column of another program's where those came to be
             "ALTER TABLE chk_receive DROP COLUMN run_at, DROP COLUMN station, ADD COLUMN printed_by VARCHAR(20)",
         })
        admin.exec(QLatin1String(sql));
}

} // namespace testsupport
