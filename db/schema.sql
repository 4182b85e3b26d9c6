-- Warasan database: every table in the column order other programs rely on (they read
-- rows by position). Extra columns are only ever appended at the end of a table.
-- Loaded by the administrator into an empty database; the program itself never runs DDL.

-- Journal titles -----------------------------------------------------------------------

CREATE TABLE magazine (
  Pointer          VARCHAR(10)  NOT NULL,
  Magazine_Name    VARCHAR(255) NOT NULL DEFAULT '',
  Parallel_Name    VARCHAR(255) NULL,
  Former_Name      VARCHAR(255) NULL,
  Short_Name       VARCHAR(255) NULL,
  ISSN             VARCHAR(20)  NULL,
  Kind_Code        VARCHAR(10)  NULL,
  Lang_Code        VARCHAR(10)  NULL,
  MagType_code     VARCHAR(10)  NULL,
  Publisher_Code   VARCHAR(20)  NULL,
  department_code  VARCHAR(10)  NULL,
  Receive_Code     VARCHAR(10)  NULL,
  Cover_Code       VARCHAR(10)  NULL,
  Copies_Per_Year  INT          NULL,
  Price_Per_Year   DECIMAL(12,2) NULL,
  Start_Date       DATE         NULL,
  End_Date         DATE         NULL,
  Order_Date       DATE         NULL,
  Distributor_Code VARCHAR(20)  NULL,
  Member_Status    VARCHAR(10)  NULL,
  Location         VARCHAR(255) NULL,
  PRIMARY KEY (Pointer),
  KEY magazine_name (Magazine_Name),
  KEY magazine_publisher (Publisher_Code),
  KEY magazine_distributor (Distributor_Code),
  KEY magazine_receive_end (Receive_Code, End_Date),
  -- A title found by its ISSN, typed or scanned from the cover at check-in.
  KEY magazine_issn (ISSN),
  -- The report server's titles by faculty, read in order.
  KEY magazine_department_name (department_code, Magazine_Name),
  -- The received titles counted by faculty from the index alone (the report server's list).
  KEY magazine_receive_department (Receive_Code, department_code)
) ENGINE=InnoDB;

-- Every two-character piece of each title's name, so that a search for a part of a name
-- reads only the titles holding the text's pieces instead of every name. It only narrows the
-- search: the name is still matched by LIKE, so the rows found are the same.
CREATE TABLE magazine_gram (
  gram    VARCHAR(2)  NOT NULL,
  Pointer VARCHAR(10) NOT NULL,
  PRIMARY KEY (gram, Pointer),
  KEY magazine_gram_pointer (Pointer)
) ENGINE=InnoDB;

-- The database keeps the pieces itself, whoever writes the title (this program, an older
-- client, an import, an administrator's statement), in the writer's own transaction: a title
-- is found by its name the moment it is stored. seq_1_to_254 is the server's sequence of
-- numbers: a piece begins at every character but the last. On a cluster the pieces travel as
-- rows with the title's; the triggers run on the node that took the write only.
CREATE TRIGGER magazine_gram_insert AFTER INSERT ON magazine FOR EACH ROW
  INSERT INTO magazine_gram (gram, Pointer)
  SELECT SUBSTRING(NEW.Magazine_Name, seq, 2), NEW.Pointer FROM seq_1_to_254
  WHERE seq < CHAR_LENGTH(NEW.Magazine_Name)
  ON DUPLICATE KEY UPDATE Pointer = VALUES(Pointer);

CREATE TRIGGER magazine_gram_update AFTER UPDATE ON magazine FOR EACH ROW
  DELETE FROM magazine_gram WHERE Pointer = OLD.Pointer
  AND NOT (BINARY OLD.Magazine_Name <=> BINARY NEW.Magazine_Name AND BINARY OLD.Pointer <=> BINARY NEW.Pointer);

CREATE TRIGGER magazine_gram_update_add AFTER UPDATE ON magazine FOR EACH ROW FOLLOWS magazine_gram_update
  INSERT INTO magazine_gram (gram, Pointer)
  SELECT SUBSTRING(NEW.Magazine_Name, seq, 2), NEW.Pointer FROM seq_1_to_254
  WHERE seq < CHAR_LENGTH(NEW.Magazine_Name)
  AND NOT (BINARY OLD.Magazine_Name <=> BINARY NEW.Magazine_Name AND BINARY OLD.Pointer <=> BINARY NEW.Pointer)
  ON DUPLICATE KEY UPDATE Pointer = VALUES(Pointer);

CREATE TRIGGER magazine_gram_delete AFTER DELETE ON magazine FOR EACH ROW
  DELETE FROM magazine_gram WHERE Pointer = OLD.Pointer;

CREATE TABLE dealer (
  Publisher_Code   VARCHAR(20)  NOT NULL,
  Publisher_Name   VARCHAR(255) NOT NULL DEFAULT '',
  Publisher_Short  VARCHAR(100) NULL,
  Address1         VARCHAR(255) NULL,
  Address2         VARCHAR(255) NULL,
  Telephone        VARCHAR(100) NULL,
  Fax              VARCHAR(100) NULL,
  Email            VARCHAR(100) NULL,
  Contact          VARCHAR(255) NULL,
  claim_days       SMALLINT     NOT NULL DEFAULT 30,
  claim_language   CHAR(2)      NOT NULL DEFAULT '',
  claim_account    VARCHAR(100) NULL,
  PRIMARY KEY (Publisher_Code),
  KEY dealer_name (Publisher_Name)
) ENGINE=InnoDB;

-- The next title code of each series: J, I, K, L.
CREATE TABLE recsetup (
  setup_no       INT         NOT NULL DEFAULT 1,
  pointer_ctrl1  VARCHAR(10) NOT NULL,
  pointer_ctrl2  VARCHAR(10) NOT NULL,
  pointer_ctrl3  VARCHAR(10) NOT NULL,
  pointer_ctrl4  VARCHAR(10) NOT NULL,
  PRIMARY KEY (setup_no)
) ENGINE=InnoDB;

-- Code tables: code, Thai description.

CREATE TABLE typemag (
  Type_Code            VARCHAR(10)  NOT NULL,
  Type_Thai_Descrition VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (Type_Code)
) ENGINE=InnoDB;

CREATE TABLE language (
  Language_Code VARCHAR(10)  NOT NULL,
  LangDesTh     VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (Language_Code)
) ENGINE=InnoDB;

CREATE TABLE magtype (
  MagType_Code     VARCHAR(10)  NOT NULL,
  MagType_Thai_Des VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (MagType_Code)
) ENGINE=InnoDB;

CREATE TABLE department (
  Department_Code     VARCHAR(10)  NOT NULL,
  Department_Thai_Des VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (Department_Code)
) ENGINE=InnoDB;

CREATE TABLE receives (
  receivestatus    VARCHAR(10)  NOT NULL,
  receivestatusdes VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (receivestatus)
) ENGINE=InnoDB;

CREATE TABLE bindcolor (
  BindType_code   VARCHAR(10)  NOT NULL,
  BindColor_DesTh VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (BindType_code)
) ENGINE=InnoDB;

CREATE TABLE statustype (
  Status_code            VARCHAR(10)  NOT NULL,
  Status_thai_Descrition VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (Status_code)
) ENGINE=InnoDB;

-- Issues and bound volumes -------------------------------------------------------------

CREATE TABLE tranfile (
  magno           VARCHAR(20)  NOT NULL,
  pointer         VARCHAR(10)  NOT NULL DEFAULT '',
  indate          DATE         NULL,
  daily           DATE         NULL,
  yearno          VARCHAR(20)  NULL,
  itemsno         VARCHAR(20)  NULL,
  DescriptionItem VARCHAR(255) NULL,
  ReturnDate      DATE         NULL,
  MagStatus       VARCHAR(2)   NULL,
  Copies          INT          NULL,
  Price           DECIMAL(12,2) NULL,
  Location        VARCHAR(100) NULL,
  Remark          VARCHAR(255) NULL,
  UserId          VARCHAR(50)  NULL,
  regno           VARCHAR(20)  NULL,
  PRIMARY KEY (magno),
  -- A title's issues, newest first, read from the index alone (the registration screen, and
  -- the bound-volume screen, which leaves out the bound ones by their status).
  KEY tranfile_title_daily (pointer, daily, magno, yearno, itemsno, indate, DescriptionItem, MagStatus),
  KEY tranfile_title_status (pointer, MagStatus),
  -- A title's issue dates alone: the receipt check reads them for every title at once.
  KEY tranfile_title_day (pointer, daily),
  -- A volume's issues, read from the index alone (the binding report groups every volume
  -- whose last issue came in a period).
  KEY tranfile_volume (regno, indate, daily, yearno, itemsno, pointer),
  KEY tranfile_indate (indate, pointer, regno, yearno, itemsno, DescriptionItem),
  -- A title's registrations of a period: the report server's per-title lists ask each title.
  KEY tranfile_title_indate (pointer, indate),
  -- An issue by its year and number: the article search shows the year each article's issue
  -- came out, one look-up an article rather than a walk of the title's issues.
  KEY tranfile_title_number (pointer, yearno, itemsno, daily)
) ENGINE=InnoDB;

-- Each title's latest issue date (NULL while none of its issues has a date), and the issues
-- checked in each month (by the day of the first of the month): the desk's lists and the
-- charts read a row a title or a month instead of walking the issues (a million of them on a
-- large catalogue). The database keeps both in the writer's own transaction, whoever writes
-- an issue; the check compares them with the issues and makes them anew when they differ.
CREATE TABLE title_latest (
  pointer VARCHAR(10) NOT NULL,
  daily   DATE        NULL,
  PRIMARY KEY (pointer)
) ENGINE=InnoDB;

CREATE TABLE arrival_month (
  month  DATE NOT NULL,
  issues INT  NOT NULL DEFAULT 0,
  PRIMARY KEY (month)
) ENGINE=InnoDB;

-- A date an older client stored as zeros ('0000-00-00') is kept as none.
CREATE TRIGGER tranfile_latest_insert AFTER INSERT ON tranfile FOR EACH ROW
  INSERT INTO title_latest (pointer, daily) VALUES (NEW.pointer, IF(NEW.daily > '1000-01-01', NEW.daily, NULL))
  ON DUPLICATE KEY UPDATE daily = GREATEST(COALESCE(daily, VALUES(daily)), COALESCE(VALUES(daily), daily));

-- An issue gone, or moved to another title or date, that may have been its title's latest: the
-- latest is read again from the title's date index. (Only where the kept date is not later than
-- the one gone, so a later issue another writer has just stored stays.)
CREATE TRIGGER tranfile_latest_update AFTER UPDATE ON tranfile FOR EACH ROW
  UPDATE title_latest SET daily = (SELECT t.daily FROM tranfile t WHERE t.pointer = OLD.pointer
  AND t.daily > '1000-01-01' ORDER BY t.daily DESC LIMIT 1)
  WHERE pointer = OLD.pointer AND NOT (OLD.daily <=> NEW.daily AND BINARY OLD.pointer <=> BINARY NEW.pointer)
  AND (daily IS NULL OR daily <= OLD.daily);

CREATE TRIGGER tranfile_latest_update_add AFTER UPDATE ON tranfile FOR EACH ROW FOLLOWS tranfile_latest_update
  INSERT INTO title_latest (pointer, daily)
  SELECT NEW.pointer, IF(NEW.daily > '1000-01-01', NEW.daily, NULL) FROM DUAL
  WHERE NOT (OLD.daily <=> NEW.daily AND BINARY OLD.pointer <=> BINARY NEW.pointer)
  ON DUPLICATE KEY UPDATE daily = GREATEST(COALESCE(daily, VALUES(daily)), COALESCE(VALUES(daily), daily));

CREATE TRIGGER tranfile_latest_delete AFTER DELETE ON tranfile FOR EACH ROW
  UPDATE title_latest SET daily = (SELECT t.daily FROM tranfile t WHERE t.pointer = OLD.pointer
  AND t.daily > '1000-01-01' ORDER BY t.daily DESC LIMIT 1)
  WHERE pointer = OLD.pointer AND (daily IS NULL OR daily <= OLD.daily);

-- A check-in date an older client stored as zeros ('0000-00-00') counts in no month, as one
-- without a date.
CREATE TRIGGER tranfile_month_insert AFTER INSERT ON tranfile FOR EACH ROW
  INSERT INTO arrival_month (month, issues)
  SELECT CASE WHEN NEW.indate > '1000-01-01' THEN NEW.indate - INTERVAL DAYOFMONTH(NEW.indate) - 1 DAY END, 1 FROM DUAL
  WHERE NEW.indate > '1000-01-01'
  ON DUPLICATE KEY UPDATE issues = issues + 1;

CREATE TRIGGER tranfile_month_update AFTER UPDATE ON tranfile FOR EACH ROW
  UPDATE arrival_month SET issues = issues - 1
  WHERE month = CASE WHEN OLD.indate > '1000-01-01' THEN OLD.indate - INTERVAL DAYOFMONTH(OLD.indate) - 1 DAY END
  AND NOT (CASE WHEN OLD.indate > '1000-01-01' THEN OLD.indate - INTERVAL DAYOFMONTH(OLD.indate) - 1 DAY END <=> CASE WHEN NEW.indate > '1000-01-01' THEN NEW.indate - INTERVAL DAYOFMONTH(NEW.indate) - 1 DAY END);

CREATE TRIGGER tranfile_month_update_add AFTER UPDATE ON tranfile FOR EACH ROW FOLLOWS tranfile_month_update
  INSERT INTO arrival_month (month, issues)
  SELECT CASE WHEN NEW.indate > '1000-01-01' THEN NEW.indate - INTERVAL DAYOFMONTH(NEW.indate) - 1 DAY END, 1 FROM DUAL
  WHERE NEW.indate > '1000-01-01'
  AND NOT (CASE WHEN OLD.indate > '1000-01-01' THEN OLD.indate - INTERVAL DAYOFMONTH(OLD.indate) - 1 DAY END <=> CASE WHEN NEW.indate > '1000-01-01' THEN NEW.indate - INTERVAL DAYOFMONTH(NEW.indate) - 1 DAY END)
  ON DUPLICATE KEY UPDATE issues = issues + 1;

CREATE TRIGGER tranfile_month_delete AFTER DELETE ON tranfile FOR EACH ROW
  UPDATE arrival_month SET issues = issues - 1 WHERE month = CASE WHEN OLD.indate > '1000-01-01' THEN OLD.indate - INTERVAL DAYOFMONTH(OLD.indate) - 1 DAY END;

CREATE TABLE jourctrl (
  magno_ctrl VARCHAR(20) NOT NULL,
  row_id     TINYINT     NOT NULL DEFAULT 1,
  PRIMARY KEY (row_id)
) ENGINE=InnoDB;

CREATE TABLE sum_journal (
  regno  VARCHAR(20)  NOT NULL,
  callno VARCHAR(255) NOT NULL DEFAULT '',
  status VARCHAR(10)  NULL,
  PRIMARY KEY (regno),
  KEY sum_journal_callno (callno)
) ENGINE=InnoDB;

CREATE TABLE ctrlsumj (
  regno_ctrl BIGINT  NOT NULL,
  row_id     TINYINT NOT NULL DEFAULT 1,
  PRIMARY KEY (row_id)
) ENGINE=InnoDB;

-- Article index ------------------------------------------------------------------------

CREATE TABLE article (
  article_no   VARCHAR(20)  NOT NULL,
  Article_Name TEXT         NOT NULL,
  spare        VARCHAR(10)  NULL,
  pointer      VARCHAR(10)  NOT NULL DEFAULT '',
  year         VARCHAR(20)  NULL,
  volume       VARCHAR(20)  NULL,
  month        VARCHAR(255) NULL,
  pages        VARCHAR(100) NULL,
  remark       TEXT         NULL,
  abstract     MEDIUMTEXT   NULL,
  keydate      DATETIME     NULL,
  PRIMARY KEY (article_no),
  KEY article_issue (pointer, year, volume),
  KEY article_name (Article_Name(191)),
  -- The index entry report reads a period's articles by the time they were entered.
  KEY article_keydate (keydate),
  KEY article_title_keydate (pointer, keydate)
) ENGINE=InnoDB;

-- Every two-character piece of each article's title, for the search of a text anywhere in the
-- titles, kept by the database as magazine_gram is. A title is TEXT: the pieces cover its first
-- 255 characters, and a longer title also holds the empty piece, which every search reads.
CREATE TABLE article_gram (
  gram       VARCHAR(2)  NOT NULL,
  article_no VARCHAR(20) NOT NULL,
  PRIMARY KEY (gram, article_no),
  KEY article_gram_article (article_no)
) ENGINE=InnoDB;

CREATE TRIGGER article_gram_insert AFTER INSERT ON article FOR EACH ROW
  INSERT INTO article_gram (gram, article_no)
  SELECT IF(seq = 255, '', SUBSTRING(NEW.Article_Name, seq, 2)), NEW.article_no FROM seq_1_to_255
  WHERE seq < CHAR_LENGTH(NEW.Article_Name)
  ON DUPLICATE KEY UPDATE article_no = VALUES(article_no);

CREATE TRIGGER article_gram_update AFTER UPDATE ON article FOR EACH ROW
  DELETE FROM article_gram WHERE article_no = OLD.article_no
  AND NOT (BINARY OLD.Article_Name <=> BINARY NEW.Article_Name AND BINARY OLD.article_no <=> BINARY NEW.article_no);

CREATE TRIGGER article_gram_update_add AFTER UPDATE ON article FOR EACH ROW FOLLOWS article_gram_update
  INSERT INTO article_gram (gram, article_no)
  SELECT IF(seq = 255, '', SUBSTRING(NEW.Article_Name, seq, 2)), NEW.article_no FROM seq_1_to_255
  WHERE seq < CHAR_LENGTH(NEW.Article_Name)
  AND NOT (BINARY OLD.Article_Name <=> BINARY NEW.Article_Name AND BINARY OLD.article_no <=> BINARY NEW.article_no)
  ON DUPLICATE KEY UPDATE article_no = VALUES(article_no);

CREATE TRIGGER article_gram_delete AFTER DELETE ON article FOR EACH ROW
  DELETE FROM article_gram WHERE article_no = OLD.article_no;

CREATE TABLE mauthfile (
  article_no   VARCHAR(20) NOT NULL,
  seqno        INT         NOT NULL,
  idno         VARCHAR(20) NOT NULL DEFAULT '',
  article_name TEXT        NULL,
  PRIMARY KEY (article_no, seqno),
  KEY mauthfile_author (idno)
) ENGINE=InnoDB;

CREATE TABLE msubject (
  article_no   VARCHAR(20)  NOT NULL,
  seqno        INT          NOT NULL,
  subject      VARCHAR(255) NOT NULL DEFAULT '',
  article_name TEXT         NULL,
  PRIMARY KEY (article_no, seqno),
  KEY msubject_subject (subject)
) ENGINE=InnoDB;

-- Every two-character piece of each subject heading, for the subject search, as
-- magazine_gram is for the titles' names, kept by the database in the same way. A heading no
-- article holds any longer may keep its pieces: the search still reads the headings themselves.
CREATE TABLE msubject_gram (
  gram    VARCHAR(2)   NOT NULL,
  subject VARCHAR(255) NOT NULL,
  PRIMARY KEY (gram, subject)
) ENGINE=InnoDB;

CREATE TRIGGER msubject_gram_insert AFTER INSERT ON msubject FOR EACH ROW
  INSERT INTO msubject_gram (gram, subject)
  SELECT SUBSTRING(NEW.subject, seq, 2), NEW.subject FROM seq_1_to_254
  WHERE seq < CHAR_LENGTH(NEW.subject)
  ON DUPLICATE KEY UPDATE subject = VALUES(subject);

CREATE TRIGGER msubject_gram_update AFTER UPDATE ON msubject FOR EACH ROW
  INSERT INTO msubject_gram (gram, subject)
  SELECT SUBSTRING(NEW.subject, seq, 2), NEW.subject FROM seq_1_to_254
  WHERE seq < CHAR_LENGTH(NEW.subject) AND NOT BINARY OLD.subject <=> BINARY NEW.subject
  ON DUPLICATE KEY UPDATE subject = VALUES(subject);

CREATE TABLE artctrl (
  artno_ctrl VARCHAR(20) NOT NULL,
  row_id     TINYINT     NOT NULL DEFAULT 1,
  PRIMARY KEY (row_id)
) ENGINE=InnoDB;

-- The pen-name index also holds the true name's number, so the author pick list is read from
-- the index alone.
CREATE TABLE authname (
  idno     VARCHAR(20)  NOT NULL,
  penname  VARCHAR(255) NOT NULL DEFAULT '',
  trueidno VARCHAR(20)  NULL,
  PRIMARY KEY (idno),
  KEY authname_penname (penname, idno, trueidno),
  KEY authname_trueidno (trueidno)
) ENGINE=InnoDB;

CREATE TABLE authctrl (
  idno_ctrl VARCHAR(20) NOT NULL,
  row_id    TINYINT     NOT NULL DEFAULT 1,
  PRIMARY KEY (row_id)
) ENGINE=InnoDB;

-- Publication patterns -----------------------------------------------------------------

-- What each title publishes, as staff set it (set_by, set_on) or as check-in last learnt it from
-- the title's issues (set_by NULL, learnt_from issues): the months it has an issue in, as
-- "1,2,3,4,5,6,9,10,11,12"; the month a volume begins in (1-12) or the issues a volume holds,
-- 0 where the history shows it; numbers 'R' back to 1 with each volume, 'C' running on, '' as
-- the history shows; wording, the template of the description a person wrote ("[เดือนย่อ]
-- [พ.ศ.]"), NULL as the latest description shows it; the day of the month issues are dated and
-- the digits numbers are written with, 0 as the history shows; weeks_off, a weekly title's weeks
-- of the year (ISO 8601, 1-53) without an issue, as "52", '' for none.
CREATE TABLE pub_pattern (
  pointer       VARCHAR(10)  NOT NULL,
  months        VARCHAR(40)  NOT NULL DEFAULT '1,2,3,4,5,6,7,8,9,10,11,12',
  volume_month  TINYINT      NOT NULL DEFAULT 0,
  volume_issues SMALLINT     NOT NULL DEFAULT 0,
  numbers       CHAR(1)      NOT NULL DEFAULT '',
  learnt_from   INT          NOT NULL DEFAULT 0,
  set_by        VARCHAR(100) NULL,
  set_on        DATETIME     NULL,
  wording       VARCHAR(255) NULL,
  issue_day     TINYINT      NOT NULL DEFAULT 0,
  number_digits TINYINT      NOT NULL DEFAULT 0,
  weeks_off     VARCHAR(160) NOT NULL DEFAULT '',
  PRIMARY KEY (pointer)
) ENGINE=InnoDB;

-- Claims: each letter asking a distributor for an issue that did not come. One row a claim of
-- an issue (the title and the date the pattern expected it), numbered 1, 2, 3 for that issue;
-- to whom (the distributor, its mail address, '' for a printed letter), when and by whom; the
-- outbox mail that carries it; the distributor's answer (N not yet published, S sent again,
-- C ceased, O other) with a note, and for "not yet published" the date the issue is now
-- expected (expected_again); and when the issue arrived after it. A distributor's
-- claim_days is the wait before an issue is claimed again, its claim_language the letters'
-- (th, en; '' by its name), its claim_account the library's account number with it.
CREATE TABLE claim (
  claim_id     BIGINT       NOT NULL AUTO_INCREMENT,
  pointer      VARCHAR(10)  NOT NULL,
  expected     DATE         NOT NULL,
  claim_no     TINYINT      NOT NULL,
  distributor  VARCHAR(20)  NOT NULL DEFAULT '',
  address      VARCHAR(255) NOT NULL DEFAULT '',
  claimed_at   DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
  claimed_by   VARCHAR(100) NOT NULL DEFAULT '',
  mail_id      BIGINT       NULL,
  answer       CHAR(1)      NULL,
  answer_note  VARCHAR(500) NULL,
  answered_at  DATETIME     NULL,
  received_at  DATETIME     NULL,
  expected_again DATE       NULL,
  PRIMARY KEY (claim_id),
  UNIQUE KEY claim_issue (pointer, expected, claim_no),
  KEY claim_distributor (distributor, claimed_at)
) ENGINE=InnoDB;

-- Report staging -----------------------------------------------------------------------

-- Missing issues found by the receipt check: title, expected date as Thai text, range; then
-- the station whose run staged the row and when, so that stations keep their own rows.
CREATE TABLE chk_receive (
  Magazine_Name VARCHAR(255) NOT NULL DEFAULT '',
  expect_date   VARCHAR(100) NOT NULL DEFAULT '',
  from_date     DATE         NULL,
  to_date       DATE         NULL,
  row_id        BIGINT       NOT NULL AUTO_INCREMENT,
  station       VARCHAR(100) NOT NULL DEFAULT '',
  run_at        DATETIME     NULL,
  PRIMARY KEY (row_id),
  KEY chk_receive_station (station),
  KEY chk_receive_run (run_at)
) ENGINE=InnoDB;

-- New-issue alerts ---------------------------------------------------------------------

-- Readers told by e-mail when a new issue of a title they follow arrives.
CREATE TABLE reader (
  reader_id       INT          NOT NULL AUTO_INCREMENT,
  reader_name     VARCHAR(255) NOT NULL DEFAULT '',
  email           VARCHAR(255) NOT NULL,
  department_code VARCHAR(10)  NULL,
  PRIMARY KEY (reader_id),
  UNIQUE KEY reader_email (email)
) ENGINE=InnoDB;

CREATE TABLE reader_title (
  reader_id INT         NOT NULL,
  pointer   VARCHAR(10) NOT NULL,
  since     DATETIME    NOT NULL DEFAULT CURRENT_TIMESTAMP,
  PRIMARY KEY (reader_id, pointer),
  KEY reader_title_pointer (pointer)
) ENGINE=InnoDB;

-- The issues each follower is still to be told of (pending), and the mail that told them.
-- The database queues them itself in the writer's own transaction: an issue checked in by any
-- client, and again when an article of it is indexed, so the next mail lists its articles.
-- A second copy of an issue (same title, date, year and number) is not told of again: the
-- first copy, by its registration number, stands for the issue.
CREATE TABLE alert_issue (
  reader_id INT         NOT NULL,
  magno     VARCHAR(20) NOT NULL,
  pending   TINYINT     NOT NULL DEFAULT 1,
  mail_id   BIGINT      NULL,
  PRIMARY KEY (reader_id, magno),
  KEY alert_issue_pending (pending, reader_id)
) ENGINE=InnoDB;

CREATE TRIGGER tranfile_alert AFTER INSERT ON tranfile FOR EACH ROW
  INSERT INTO alert_issue (reader_id, magno)
  SELECT reader_id, NEW.magno FROM reader_title WHERE pointer = NEW.pointer
  AND NOT EXISTS (SELECT 1 FROM tranfile o WHERE o.pointer = NEW.pointer AND o.daily <=> NEW.daily
  AND COALESCE(TRIM(o.yearno), '') = COALESCE(TRIM(NEW.yearno), '')
  AND COALESCE(TRIM(o.itemsno), '') = COALESCE(TRIM(NEW.itemsno), '')
  AND (CHAR_LENGTH(o.magno) < CHAR_LENGTH(NEW.magno) OR (CHAR_LENGTH(o.magno) = CHAR_LENGTH(NEW.magno) AND o.magno < NEW.magno)))
  ON DUPLICATE KEY UPDATE pending = 1;

CREATE TRIGGER article_alert AFTER INSERT ON article FOR EACH ROW
  INSERT INTO alert_issue (reader_id, magno)
  SELECT r.reader_id, t.magno FROM reader_title r JOIN tranfile t ON t.pointer = NEW.pointer
  AND COALESCE(TRIM(t.yearno), '') = COALESCE(TRIM(NEW.year), '') AND COALESCE(TRIM(t.itemsno), '') = COALESCE(TRIM(NEW.volume), '')
  WHERE r.pointer = NEW.pointer
  AND NOT EXISTS (SELECT 1 FROM tranfile o WHERE o.pointer = t.pointer AND o.daily <=> t.daily
  AND COALESCE(TRIM(o.yearno), '') = COALESCE(TRIM(t.yearno), '')
  AND COALESCE(TRIM(o.itemsno), '') = COALESCE(TRIM(t.itemsno), '')
  AND (CHAR_LENGTH(o.magno) < CHAR_LENGTH(t.magno) OR (CHAR_LENGTH(o.magno) = CHAR_LENGTH(t.magno) AND o.magno < t.magno)))
  ON DUPLICATE KEY UPDATE pending = 1;

-- The outbox: each mail as it is sent (its subject and its text and HTML bodies), at most one
-- alert a reader a day;
-- the confirmation of a reader's request has its token. Marked sent only once the mail server
-- took it; a refusal is kept with the server's words.
CREATE TABLE alert_mail (
  mail_id    BIGINT        NOT NULL AUTO_INCREMENT,
  reader_id  INT           NULL,
  day        DATE          NOT NULL,
  token      CHAR(32)      NULL,
  recipient  VARCHAR(255)  NOT NULL,
  message_id VARCHAR(255)  NOT NULL,
  subject    VARCHAR(500)  NOT NULL DEFAULT '',
  body_text  MEDIUMTEXT    NOT NULL,
  body_html  MEDIUMTEXT    NOT NULL,
  state      VARCHAR(10)   NOT NULL DEFAULT 'queued',
  attempts   INT           NOT NULL DEFAULT 0,
  last_error VARCHAR(1000) NULL,
  sent_at    DATETIME      NULL,
  PRIMARY KEY (mail_id),
  UNIQUE KEY alert_mail_day (reader_id, day),
  UNIQUE KEY alert_mail_token (token),
  KEY alert_mail_state (state)
) ENGINE=InnoDB;

-- A reader's request, made on the report server, to follow a title (F) or stop (S), or a
-- stop link of an alert: it takes effect once confirmed through the link mailed with its token.
CREATE TABLE alert_request (
  token     CHAR(32)     NOT NULL,
  email     VARCHAR(255) NOT NULL,
  pointer   VARCHAR(10)  NOT NULL,
  action    CHAR(1)      NOT NULL,
  requested DATETIME     NOT NULL DEFAULT CURRENT_TIMESTAMP,
  mailed    DATETIME     NULL,
  confirmed DATETIME     NULL,
  done      DATETIME     NULL,
  reader_name VARCHAR(255) NOT NULL DEFAULT '',
  PRIMARY KEY (token),
  KEY alert_request_open (done, confirmed),
  KEY alert_request_email (email, requested)
) ENGINE=InnoDB;

-- Change history -----------------------------------------------------------------------

-- Every change to the records, whoever made it: this program, an older client, an import or
-- an administrator's statement. Written only by the triggers below (their definer may; staff
-- accounts may read it and nothing more). changed_by is USER(), the account that made the
-- change and the host it came from (CURRENT_USER() would name the triggers' definer); the
-- rows before and after are JSON objects of every column. On a cluster the history rows
-- travel with the change itself; the triggers run on the node that took the write only.
-- Generated by scripts/history-triggers.py: run it again after changing a traced table.
CREATE TABLE change_history (
  change_id  BIGINT       NOT NULL AUTO_INCREMENT,
  changed_at DATETIME(6)  NOT NULL DEFAULT CURRENT_TIMESTAMP(6),
  changed_by VARCHAR(400) NOT NULL,
  table_name VARCHAR(64)  NOT NULL,
  row_key    VARCHAR(255) NOT NULL,
  action     CHAR(1)      NOT NULL,
  before_row LONGTEXT     NULL,
  after_row  LONGTEXT     NULL,
  PRIMARY KEY (change_id),
  KEY change_history_row (table_name, row_key, changed_at),
  KEY change_history_when (changed_at),
  KEY change_history_who (changed_by, changed_at)
) ENGINE=InnoDB;

-- Its rows are kept as written, whoever asks: even an account with every right on the tables
-- (the shared account of the older clients) cannot change or delete one. An administrator
-- who must purge old history drops these two first; warasan-dbcheck reports them missing.
CREATE TRIGGER change_history_keep_update BEFORE UPDATE ON change_history FOR EACH ROW
  SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'change_history is kept as written: its rows are never changed';
CREATE TRIGGER change_history_keep_delete BEFORE DELETE ON change_history FOR EACH ROW
  SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'change_history is kept as written: its rows are never deleted';

CREATE TRIGGER magazine_history_insert AFTER INSERT ON magazine FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'magazine', NEW.Pointer, 'I', NULL, JSON_OBJECT('Pointer', NEW.Pointer, 'Magazine_Name', NEW.Magazine_Name, 'Parallel_Name', NEW.Parallel_Name, 'Former_Name', NEW.Former_Name, 'Short_Name', NEW.Short_Name, 'ISSN', NEW.ISSN, 'Kind_Code', NEW.Kind_Code, 'Lang_Code', NEW.Lang_Code, 'MagType_code', NEW.MagType_code, 'Publisher_Code', NEW.Publisher_Code, 'department_code', NEW.department_code, 'Receive_Code', NEW.Receive_Code, 'Cover_Code', NEW.Cover_Code, 'Copies_Per_Year', NEW.Copies_Per_Year, 'Price_Per_Year', NEW.Price_Per_Year, 'Start_Date', NEW.Start_Date, 'End_Date', NEW.End_Date, 'Order_Date', NEW.Order_Date, 'Distributor_Code', NEW.Distributor_Code, 'Member_Status', NEW.Member_Status, 'Location', NEW.Location));
CREATE TRIGGER magazine_history_update AFTER UPDATE ON magazine FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'magazine', NEW.Pointer, 'U', JSON_OBJECT('Pointer', OLD.Pointer, 'Magazine_Name', OLD.Magazine_Name, 'Parallel_Name', OLD.Parallel_Name, 'Former_Name', OLD.Former_Name, 'Short_Name', OLD.Short_Name, 'ISSN', OLD.ISSN, 'Kind_Code', OLD.Kind_Code, 'Lang_Code', OLD.Lang_Code, 'MagType_code', OLD.MagType_code, 'Publisher_Code', OLD.Publisher_Code, 'department_code', OLD.department_code, 'Receive_Code', OLD.Receive_Code, 'Cover_Code', OLD.Cover_Code, 'Copies_Per_Year', OLD.Copies_Per_Year, 'Price_Per_Year', OLD.Price_Per_Year, 'Start_Date', OLD.Start_Date, 'End_Date', OLD.End_Date, 'Order_Date', OLD.Order_Date, 'Distributor_Code', OLD.Distributor_Code, 'Member_Status', OLD.Member_Status, 'Location', OLD.Location),
  JSON_OBJECT('Pointer', NEW.Pointer, 'Magazine_Name', NEW.Magazine_Name, 'Parallel_Name', NEW.Parallel_Name, 'Former_Name', NEW.Former_Name, 'Short_Name', NEW.Short_Name, 'ISSN', NEW.ISSN, 'Kind_Code', NEW.Kind_Code, 'Lang_Code', NEW.Lang_Code, 'MagType_code', NEW.MagType_code, 'Publisher_Code', NEW.Publisher_Code, 'department_code', NEW.department_code, 'Receive_Code', NEW.Receive_Code, 'Cover_Code', NEW.Cover_Code, 'Copies_Per_Year', NEW.Copies_Per_Year, 'Price_Per_Year', NEW.Price_Per_Year, 'Start_Date', NEW.Start_Date, 'End_Date', NEW.End_Date, 'Order_Date', NEW.Order_Date, 'Distributor_Code', NEW.Distributor_Code, 'Member_Status', NEW.Member_Status, 'Location', NEW.Location) FROM DUAL
  WHERE NOT (OLD.Pointer <=> NEW.Pointer AND OLD.Magazine_Name <=> NEW.Magazine_Name AND OLD.Parallel_Name <=> NEW.Parallel_Name AND OLD.Former_Name <=> NEW.Former_Name AND OLD.Short_Name <=> NEW.Short_Name AND OLD.ISSN <=> NEW.ISSN AND OLD.Kind_Code <=> NEW.Kind_Code AND OLD.Lang_Code <=> NEW.Lang_Code AND OLD.MagType_code <=> NEW.MagType_code AND OLD.Publisher_Code <=> NEW.Publisher_Code AND OLD.department_code <=> NEW.department_code AND OLD.Receive_Code <=> NEW.Receive_Code AND OLD.Cover_Code <=> NEW.Cover_Code AND OLD.Copies_Per_Year <=> NEW.Copies_Per_Year AND OLD.Price_Per_Year <=> NEW.Price_Per_Year AND OLD.Start_Date <=> NEW.Start_Date AND OLD.End_Date <=> NEW.End_Date AND OLD.Order_Date <=> NEW.Order_Date AND OLD.Distributor_Code <=> NEW.Distributor_Code AND OLD.Member_Status <=> NEW.Member_Status AND OLD.Location <=> NEW.Location);
CREATE TRIGGER magazine_history_delete AFTER DELETE ON magazine FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'magazine', OLD.Pointer, 'D', JSON_OBJECT('Pointer', OLD.Pointer, 'Magazine_Name', OLD.Magazine_Name, 'Parallel_Name', OLD.Parallel_Name, 'Former_Name', OLD.Former_Name, 'Short_Name', OLD.Short_Name, 'ISSN', OLD.ISSN, 'Kind_Code', OLD.Kind_Code, 'Lang_Code', OLD.Lang_Code, 'MagType_code', OLD.MagType_code, 'Publisher_Code', OLD.Publisher_Code, 'department_code', OLD.department_code, 'Receive_Code', OLD.Receive_Code, 'Cover_Code', OLD.Cover_Code, 'Copies_Per_Year', OLD.Copies_Per_Year, 'Price_Per_Year', OLD.Price_Per_Year, 'Start_Date', OLD.Start_Date, 'End_Date', OLD.End_Date, 'Order_Date', OLD.Order_Date, 'Distributor_Code', OLD.Distributor_Code, 'Member_Status', OLD.Member_Status, 'Location', OLD.Location), NULL);
CREATE TRIGGER dealer_history_insert AFTER INSERT ON dealer FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'dealer', NEW.Publisher_Code, 'I', NULL, JSON_OBJECT('Publisher_Code', NEW.Publisher_Code, 'Publisher_Name', NEW.Publisher_Name, 'Publisher_Short', NEW.Publisher_Short, 'Address1', NEW.Address1, 'Address2', NEW.Address2, 'Telephone', NEW.Telephone, 'Fax', NEW.Fax, 'Email', NEW.Email, 'Contact', NEW.Contact, 'claim_days', NEW.claim_days, 'claim_language', NEW.claim_language, 'claim_account', NEW.claim_account));
CREATE TRIGGER dealer_history_update AFTER UPDATE ON dealer FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'dealer', NEW.Publisher_Code, 'U', JSON_OBJECT('Publisher_Code', OLD.Publisher_Code, 'Publisher_Name', OLD.Publisher_Name, 'Publisher_Short', OLD.Publisher_Short, 'Address1', OLD.Address1, 'Address2', OLD.Address2, 'Telephone', OLD.Telephone, 'Fax', OLD.Fax, 'Email', OLD.Email, 'Contact', OLD.Contact, 'claim_days', OLD.claim_days, 'claim_language', OLD.claim_language, 'claim_account', OLD.claim_account),
  JSON_OBJECT('Publisher_Code', NEW.Publisher_Code, 'Publisher_Name', NEW.Publisher_Name, 'Publisher_Short', NEW.Publisher_Short, 'Address1', NEW.Address1, 'Address2', NEW.Address2, 'Telephone', NEW.Telephone, 'Fax', NEW.Fax, 'Email', NEW.Email, 'Contact', NEW.Contact, 'claim_days', NEW.claim_days, 'claim_language', NEW.claim_language, 'claim_account', NEW.claim_account) FROM DUAL
  WHERE NOT (OLD.Publisher_Code <=> NEW.Publisher_Code AND OLD.Publisher_Name <=> NEW.Publisher_Name AND OLD.Publisher_Short <=> NEW.Publisher_Short AND OLD.Address1 <=> NEW.Address1 AND OLD.Address2 <=> NEW.Address2 AND OLD.Telephone <=> NEW.Telephone AND OLD.Fax <=> NEW.Fax AND OLD.Email <=> NEW.Email AND OLD.Contact <=> NEW.Contact AND OLD.claim_days <=> NEW.claim_days AND OLD.claim_language <=> NEW.claim_language AND OLD.claim_account <=> NEW.claim_account);
CREATE TRIGGER dealer_history_delete AFTER DELETE ON dealer FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'dealer', OLD.Publisher_Code, 'D', JSON_OBJECT('Publisher_Code', OLD.Publisher_Code, 'Publisher_Name', OLD.Publisher_Name, 'Publisher_Short', OLD.Publisher_Short, 'Address1', OLD.Address1, 'Address2', OLD.Address2, 'Telephone', OLD.Telephone, 'Fax', OLD.Fax, 'Email', OLD.Email, 'Contact', OLD.Contact, 'claim_days', OLD.claim_days, 'claim_language', OLD.claim_language, 'claim_account', OLD.claim_account), NULL);
CREATE TRIGGER recsetup_history_insert AFTER INSERT ON recsetup FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'recsetup', NEW.setup_no, 'I', NULL, JSON_OBJECT('setup_no', NEW.setup_no, 'pointer_ctrl1', NEW.pointer_ctrl1, 'pointer_ctrl2', NEW.pointer_ctrl2, 'pointer_ctrl3', NEW.pointer_ctrl3, 'pointer_ctrl4', NEW.pointer_ctrl4));
CREATE TRIGGER recsetup_history_update AFTER UPDATE ON recsetup FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'recsetup', NEW.setup_no, 'U', JSON_OBJECT('setup_no', OLD.setup_no, 'pointer_ctrl1', OLD.pointer_ctrl1, 'pointer_ctrl2', OLD.pointer_ctrl2, 'pointer_ctrl3', OLD.pointer_ctrl3, 'pointer_ctrl4', OLD.pointer_ctrl4),
  JSON_OBJECT('setup_no', NEW.setup_no, 'pointer_ctrl1', NEW.pointer_ctrl1, 'pointer_ctrl2', NEW.pointer_ctrl2, 'pointer_ctrl3', NEW.pointer_ctrl3, 'pointer_ctrl4', NEW.pointer_ctrl4) FROM DUAL
  WHERE NOT (OLD.setup_no <=> NEW.setup_no AND OLD.pointer_ctrl1 <=> NEW.pointer_ctrl1 AND OLD.pointer_ctrl2 <=> NEW.pointer_ctrl2 AND OLD.pointer_ctrl3 <=> NEW.pointer_ctrl3 AND OLD.pointer_ctrl4 <=> NEW.pointer_ctrl4);
CREATE TRIGGER recsetup_history_delete AFTER DELETE ON recsetup FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'recsetup', OLD.setup_no, 'D', JSON_OBJECT('setup_no', OLD.setup_no, 'pointer_ctrl1', OLD.pointer_ctrl1, 'pointer_ctrl2', OLD.pointer_ctrl2, 'pointer_ctrl3', OLD.pointer_ctrl3, 'pointer_ctrl4', OLD.pointer_ctrl4), NULL);
CREATE TRIGGER typemag_history_insert AFTER INSERT ON typemag FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'typemag', NEW.Type_Code, 'I', NULL, JSON_OBJECT('Type_Code', NEW.Type_Code, 'Type_Thai_Descrition', NEW.Type_Thai_Descrition));
CREATE TRIGGER typemag_history_update AFTER UPDATE ON typemag FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'typemag', NEW.Type_Code, 'U', JSON_OBJECT('Type_Code', OLD.Type_Code, 'Type_Thai_Descrition', OLD.Type_Thai_Descrition),
  JSON_OBJECT('Type_Code', NEW.Type_Code, 'Type_Thai_Descrition', NEW.Type_Thai_Descrition) FROM DUAL
  WHERE NOT (OLD.Type_Code <=> NEW.Type_Code AND OLD.Type_Thai_Descrition <=> NEW.Type_Thai_Descrition);
CREATE TRIGGER typemag_history_delete AFTER DELETE ON typemag FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'typemag', OLD.Type_Code, 'D', JSON_OBJECT('Type_Code', OLD.Type_Code, 'Type_Thai_Descrition', OLD.Type_Thai_Descrition), NULL);
CREATE TRIGGER language_history_insert AFTER INSERT ON language FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'language', NEW.Language_Code, 'I', NULL, JSON_OBJECT('Language_Code', NEW.Language_Code, 'LangDesTh', NEW.LangDesTh));
CREATE TRIGGER language_history_update AFTER UPDATE ON language FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'language', NEW.Language_Code, 'U', JSON_OBJECT('Language_Code', OLD.Language_Code, 'LangDesTh', OLD.LangDesTh),
  JSON_OBJECT('Language_Code', NEW.Language_Code, 'LangDesTh', NEW.LangDesTh) FROM DUAL
  WHERE NOT (OLD.Language_Code <=> NEW.Language_Code AND OLD.LangDesTh <=> NEW.LangDesTh);
CREATE TRIGGER language_history_delete AFTER DELETE ON language FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'language', OLD.Language_Code, 'D', JSON_OBJECT('Language_Code', OLD.Language_Code, 'LangDesTh', OLD.LangDesTh), NULL);
CREATE TRIGGER magtype_history_insert AFTER INSERT ON magtype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'magtype', NEW.MagType_Code, 'I', NULL, JSON_OBJECT('MagType_Code', NEW.MagType_Code, 'MagType_Thai_Des', NEW.MagType_Thai_Des));
CREATE TRIGGER magtype_history_update AFTER UPDATE ON magtype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'magtype', NEW.MagType_Code, 'U', JSON_OBJECT('MagType_Code', OLD.MagType_Code, 'MagType_Thai_Des', OLD.MagType_Thai_Des),
  JSON_OBJECT('MagType_Code', NEW.MagType_Code, 'MagType_Thai_Des', NEW.MagType_Thai_Des) FROM DUAL
  WHERE NOT (OLD.MagType_Code <=> NEW.MagType_Code AND OLD.MagType_Thai_Des <=> NEW.MagType_Thai_Des);
CREATE TRIGGER magtype_history_delete AFTER DELETE ON magtype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'magtype', OLD.MagType_Code, 'D', JSON_OBJECT('MagType_Code', OLD.MagType_Code, 'MagType_Thai_Des', OLD.MagType_Thai_Des), NULL);
CREATE TRIGGER department_history_insert AFTER INSERT ON department FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'department', NEW.Department_Code, 'I', NULL, JSON_OBJECT('Department_Code', NEW.Department_Code, 'Department_Thai_Des', NEW.Department_Thai_Des));
CREATE TRIGGER department_history_update AFTER UPDATE ON department FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'department', NEW.Department_Code, 'U', JSON_OBJECT('Department_Code', OLD.Department_Code, 'Department_Thai_Des', OLD.Department_Thai_Des),
  JSON_OBJECT('Department_Code', NEW.Department_Code, 'Department_Thai_Des', NEW.Department_Thai_Des) FROM DUAL
  WHERE NOT (OLD.Department_Code <=> NEW.Department_Code AND OLD.Department_Thai_Des <=> NEW.Department_Thai_Des);
CREATE TRIGGER department_history_delete AFTER DELETE ON department FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'department', OLD.Department_Code, 'D', JSON_OBJECT('Department_Code', OLD.Department_Code, 'Department_Thai_Des', OLD.Department_Thai_Des), NULL);
CREATE TRIGGER receives_history_insert AFTER INSERT ON receives FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'receives', NEW.receivestatus, 'I', NULL, JSON_OBJECT('receivestatus', NEW.receivestatus, 'receivestatusdes', NEW.receivestatusdes));
CREATE TRIGGER receives_history_update AFTER UPDATE ON receives FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'receives', NEW.receivestatus, 'U', JSON_OBJECT('receivestatus', OLD.receivestatus, 'receivestatusdes', OLD.receivestatusdes),
  JSON_OBJECT('receivestatus', NEW.receivestatus, 'receivestatusdes', NEW.receivestatusdes) FROM DUAL
  WHERE NOT (OLD.receivestatus <=> NEW.receivestatus AND OLD.receivestatusdes <=> NEW.receivestatusdes);
CREATE TRIGGER receives_history_delete AFTER DELETE ON receives FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'receives', OLD.receivestatus, 'D', JSON_OBJECT('receivestatus', OLD.receivestatus, 'receivestatusdes', OLD.receivestatusdes), NULL);
CREATE TRIGGER bindcolor_history_insert AFTER INSERT ON bindcolor FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'bindcolor', NEW.BindType_code, 'I', NULL, JSON_OBJECT('BindType_code', NEW.BindType_code, 'BindColor_DesTh', NEW.BindColor_DesTh));
CREATE TRIGGER bindcolor_history_update AFTER UPDATE ON bindcolor FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'bindcolor', NEW.BindType_code, 'U', JSON_OBJECT('BindType_code', OLD.BindType_code, 'BindColor_DesTh', OLD.BindColor_DesTh),
  JSON_OBJECT('BindType_code', NEW.BindType_code, 'BindColor_DesTh', NEW.BindColor_DesTh) FROM DUAL
  WHERE NOT (OLD.BindType_code <=> NEW.BindType_code AND OLD.BindColor_DesTh <=> NEW.BindColor_DesTh);
CREATE TRIGGER bindcolor_history_delete AFTER DELETE ON bindcolor FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'bindcolor', OLD.BindType_code, 'D', JSON_OBJECT('BindType_code', OLD.BindType_code, 'BindColor_DesTh', OLD.BindColor_DesTh), NULL);
CREATE TRIGGER statustype_history_insert AFTER INSERT ON statustype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'statustype', NEW.Status_code, 'I', NULL, JSON_OBJECT('Status_code', NEW.Status_code, 'Status_thai_Descrition', NEW.Status_thai_Descrition));
CREATE TRIGGER statustype_history_update AFTER UPDATE ON statustype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'statustype', NEW.Status_code, 'U', JSON_OBJECT('Status_code', OLD.Status_code, 'Status_thai_Descrition', OLD.Status_thai_Descrition),
  JSON_OBJECT('Status_code', NEW.Status_code, 'Status_thai_Descrition', NEW.Status_thai_Descrition) FROM DUAL
  WHERE NOT (OLD.Status_code <=> NEW.Status_code AND OLD.Status_thai_Descrition <=> NEW.Status_thai_Descrition);
CREATE TRIGGER statustype_history_delete AFTER DELETE ON statustype FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'statustype', OLD.Status_code, 'D', JSON_OBJECT('Status_code', OLD.Status_code, 'Status_thai_Descrition', OLD.Status_thai_Descrition), NULL);
CREATE TRIGGER tranfile_history_insert AFTER INSERT ON tranfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'tranfile', NEW.magno, 'I', NULL, JSON_OBJECT('magno', NEW.magno, 'pointer', NEW.pointer, 'indate', NEW.indate, 'daily', NEW.daily, 'yearno', NEW.yearno, 'itemsno', NEW.itemsno, 'DescriptionItem', NEW.DescriptionItem, 'ReturnDate', NEW.ReturnDate, 'MagStatus', NEW.MagStatus, 'Copies', NEW.Copies, 'Price', NEW.Price, 'Location', NEW.Location, 'Remark', NEW.Remark, 'UserId', NEW.UserId, 'regno', NEW.regno));
CREATE TRIGGER tranfile_history_update AFTER UPDATE ON tranfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'tranfile', NEW.magno, 'U', JSON_OBJECT('magno', OLD.magno, 'pointer', OLD.pointer, 'indate', OLD.indate, 'daily', OLD.daily, 'yearno', OLD.yearno, 'itemsno', OLD.itemsno, 'DescriptionItem', OLD.DescriptionItem, 'ReturnDate', OLD.ReturnDate, 'MagStatus', OLD.MagStatus, 'Copies', OLD.Copies, 'Price', OLD.Price, 'Location', OLD.Location, 'Remark', OLD.Remark, 'UserId', OLD.UserId, 'regno', OLD.regno),
  JSON_OBJECT('magno', NEW.magno, 'pointer', NEW.pointer, 'indate', NEW.indate, 'daily', NEW.daily, 'yearno', NEW.yearno, 'itemsno', NEW.itemsno, 'DescriptionItem', NEW.DescriptionItem, 'ReturnDate', NEW.ReturnDate, 'MagStatus', NEW.MagStatus, 'Copies', NEW.Copies, 'Price', NEW.Price, 'Location', NEW.Location, 'Remark', NEW.Remark, 'UserId', NEW.UserId, 'regno', NEW.regno) FROM DUAL
  WHERE NOT (OLD.magno <=> NEW.magno AND OLD.pointer <=> NEW.pointer AND OLD.indate <=> NEW.indate AND OLD.daily <=> NEW.daily AND OLD.yearno <=> NEW.yearno AND OLD.itemsno <=> NEW.itemsno AND OLD.DescriptionItem <=> NEW.DescriptionItem AND OLD.ReturnDate <=> NEW.ReturnDate AND OLD.MagStatus <=> NEW.MagStatus AND OLD.Copies <=> NEW.Copies AND OLD.Price <=> NEW.Price AND OLD.Location <=> NEW.Location AND OLD.Remark <=> NEW.Remark AND OLD.UserId <=> NEW.UserId AND OLD.regno <=> NEW.regno);
CREATE TRIGGER tranfile_history_delete AFTER DELETE ON tranfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'tranfile', OLD.magno, 'D', JSON_OBJECT('magno', OLD.magno, 'pointer', OLD.pointer, 'indate', OLD.indate, 'daily', OLD.daily, 'yearno', OLD.yearno, 'itemsno', OLD.itemsno, 'DescriptionItem', OLD.DescriptionItem, 'ReturnDate', OLD.ReturnDate, 'MagStatus', OLD.MagStatus, 'Copies', OLD.Copies, 'Price', OLD.Price, 'Location', OLD.Location, 'Remark', OLD.Remark, 'UserId', OLD.UserId, 'regno', OLD.regno), NULL);
CREATE TRIGGER jourctrl_history_insert AFTER INSERT ON jourctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'jourctrl', NEW.row_id, 'I', NULL, JSON_OBJECT('magno_ctrl', NEW.magno_ctrl, 'row_id', NEW.row_id));
CREATE TRIGGER jourctrl_history_update AFTER UPDATE ON jourctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'jourctrl', NEW.row_id, 'U', JSON_OBJECT('magno_ctrl', OLD.magno_ctrl, 'row_id', OLD.row_id),
  JSON_OBJECT('magno_ctrl', NEW.magno_ctrl, 'row_id', NEW.row_id) FROM DUAL
  WHERE NOT (OLD.magno_ctrl <=> NEW.magno_ctrl AND OLD.row_id <=> NEW.row_id);
CREATE TRIGGER jourctrl_history_delete AFTER DELETE ON jourctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'jourctrl', OLD.row_id, 'D', JSON_OBJECT('magno_ctrl', OLD.magno_ctrl, 'row_id', OLD.row_id), NULL);
CREATE TRIGGER sum_journal_history_insert AFTER INSERT ON sum_journal FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'sum_journal', NEW.regno, 'I', NULL, JSON_OBJECT('regno', NEW.regno, 'callno', NEW.callno, 'status', NEW.status));
CREATE TRIGGER sum_journal_history_update AFTER UPDATE ON sum_journal FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'sum_journal', NEW.regno, 'U', JSON_OBJECT('regno', OLD.regno, 'callno', OLD.callno, 'status', OLD.status),
  JSON_OBJECT('regno', NEW.regno, 'callno', NEW.callno, 'status', NEW.status) FROM DUAL
  WHERE NOT (OLD.regno <=> NEW.regno AND OLD.callno <=> NEW.callno AND OLD.status <=> NEW.status);
CREATE TRIGGER sum_journal_history_delete AFTER DELETE ON sum_journal FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'sum_journal', OLD.regno, 'D', JSON_OBJECT('regno', OLD.regno, 'callno', OLD.callno, 'status', OLD.status), NULL);
CREATE TRIGGER ctrlsumj_history_insert AFTER INSERT ON ctrlsumj FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'ctrlsumj', NEW.row_id, 'I', NULL, JSON_OBJECT('regno_ctrl', NEW.regno_ctrl, 'row_id', NEW.row_id));
CREATE TRIGGER ctrlsumj_history_update AFTER UPDATE ON ctrlsumj FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'ctrlsumj', NEW.row_id, 'U', JSON_OBJECT('regno_ctrl', OLD.regno_ctrl, 'row_id', OLD.row_id),
  JSON_OBJECT('regno_ctrl', NEW.regno_ctrl, 'row_id', NEW.row_id) FROM DUAL
  WHERE NOT (OLD.regno_ctrl <=> NEW.regno_ctrl AND OLD.row_id <=> NEW.row_id);
CREATE TRIGGER ctrlsumj_history_delete AFTER DELETE ON ctrlsumj FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'ctrlsumj', OLD.row_id, 'D', JSON_OBJECT('regno_ctrl', OLD.regno_ctrl, 'row_id', OLD.row_id), NULL);
CREATE TRIGGER article_history_insert AFTER INSERT ON article FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'article', NEW.article_no, 'I', NULL, JSON_OBJECT('article_no', NEW.article_no, 'Article_Name', NEW.Article_Name, 'spare', NEW.spare, 'pointer', NEW.pointer, 'year', NEW.year, 'volume', NEW.volume, 'month', NEW.month, 'pages', NEW.pages, 'remark', NEW.remark, 'abstract', NEW.abstract, 'keydate', NEW.keydate));
CREATE TRIGGER article_history_update AFTER UPDATE ON article FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'article', NEW.article_no, 'U', JSON_OBJECT('article_no', OLD.article_no, 'Article_Name', OLD.Article_Name, 'spare', OLD.spare, 'pointer', OLD.pointer, 'year', OLD.year, 'volume', OLD.volume, 'month', OLD.month, 'pages', OLD.pages, 'remark', OLD.remark, 'abstract', OLD.abstract, 'keydate', OLD.keydate),
  JSON_OBJECT('article_no', NEW.article_no, 'Article_Name', NEW.Article_Name, 'spare', NEW.spare, 'pointer', NEW.pointer, 'year', NEW.year, 'volume', NEW.volume, 'month', NEW.month, 'pages', NEW.pages, 'remark', NEW.remark, 'abstract', NEW.abstract, 'keydate', NEW.keydate) FROM DUAL
  WHERE NOT (OLD.article_no <=> NEW.article_no AND OLD.Article_Name <=> NEW.Article_Name AND OLD.spare <=> NEW.spare AND OLD.pointer <=> NEW.pointer AND OLD.year <=> NEW.year AND OLD.volume <=> NEW.volume AND OLD.month <=> NEW.month AND OLD.pages <=> NEW.pages AND OLD.remark <=> NEW.remark AND OLD.abstract <=> NEW.abstract AND OLD.keydate <=> NEW.keydate);
CREATE TRIGGER article_history_delete AFTER DELETE ON article FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'article', OLD.article_no, 'D', JSON_OBJECT('article_no', OLD.article_no, 'Article_Name', OLD.Article_Name, 'spare', OLD.spare, 'pointer', OLD.pointer, 'year', OLD.year, 'volume', OLD.volume, 'month', OLD.month, 'pages', OLD.pages, 'remark', OLD.remark, 'abstract', OLD.abstract, 'keydate', OLD.keydate), NULL);
CREATE TRIGGER mauthfile_history_insert AFTER INSERT ON mauthfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'mauthfile', CONCAT_WS('/', NEW.article_no, NEW.seqno), 'I', NULL, JSON_OBJECT('article_no', NEW.article_no, 'seqno', NEW.seqno, 'idno', NEW.idno, 'article_name', NEW.article_name));
CREATE TRIGGER mauthfile_history_update AFTER UPDATE ON mauthfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'mauthfile', CONCAT_WS('/', NEW.article_no, NEW.seqno), 'U', JSON_OBJECT('article_no', OLD.article_no, 'seqno', OLD.seqno, 'idno', OLD.idno, 'article_name', OLD.article_name),
  JSON_OBJECT('article_no', NEW.article_no, 'seqno', NEW.seqno, 'idno', NEW.idno, 'article_name', NEW.article_name) FROM DUAL
  WHERE NOT (OLD.article_no <=> NEW.article_no AND OLD.seqno <=> NEW.seqno AND OLD.idno <=> NEW.idno AND OLD.article_name <=> NEW.article_name);
CREATE TRIGGER mauthfile_history_delete AFTER DELETE ON mauthfile FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'mauthfile', CONCAT_WS('/', OLD.article_no, OLD.seqno), 'D', JSON_OBJECT('article_no', OLD.article_no, 'seqno', OLD.seqno, 'idno', OLD.idno, 'article_name', OLD.article_name), NULL);
CREATE TRIGGER msubject_history_insert AFTER INSERT ON msubject FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'msubject', CONCAT_WS('/', NEW.article_no, NEW.seqno), 'I', NULL, JSON_OBJECT('article_no', NEW.article_no, 'seqno', NEW.seqno, 'subject', NEW.subject, 'article_name', NEW.article_name));
CREATE TRIGGER msubject_history_update AFTER UPDATE ON msubject FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'msubject', CONCAT_WS('/', NEW.article_no, NEW.seqno), 'U', JSON_OBJECT('article_no', OLD.article_no, 'seqno', OLD.seqno, 'subject', OLD.subject, 'article_name', OLD.article_name),
  JSON_OBJECT('article_no', NEW.article_no, 'seqno', NEW.seqno, 'subject', NEW.subject, 'article_name', NEW.article_name) FROM DUAL
  WHERE NOT (OLD.article_no <=> NEW.article_no AND OLD.seqno <=> NEW.seqno AND OLD.subject <=> NEW.subject AND OLD.article_name <=> NEW.article_name);
CREATE TRIGGER msubject_history_delete AFTER DELETE ON msubject FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'msubject', CONCAT_WS('/', OLD.article_no, OLD.seqno), 'D', JSON_OBJECT('article_no', OLD.article_no, 'seqno', OLD.seqno, 'subject', OLD.subject, 'article_name', OLD.article_name), NULL);
CREATE TRIGGER artctrl_history_insert AFTER INSERT ON artctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'artctrl', NEW.row_id, 'I', NULL, JSON_OBJECT('artno_ctrl', NEW.artno_ctrl, 'row_id', NEW.row_id));
CREATE TRIGGER artctrl_history_update AFTER UPDATE ON artctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'artctrl', NEW.row_id, 'U', JSON_OBJECT('artno_ctrl', OLD.artno_ctrl, 'row_id', OLD.row_id),
  JSON_OBJECT('artno_ctrl', NEW.artno_ctrl, 'row_id', NEW.row_id) FROM DUAL
  WHERE NOT (OLD.artno_ctrl <=> NEW.artno_ctrl AND OLD.row_id <=> NEW.row_id);
CREATE TRIGGER artctrl_history_delete AFTER DELETE ON artctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'artctrl', OLD.row_id, 'D', JSON_OBJECT('artno_ctrl', OLD.artno_ctrl, 'row_id', OLD.row_id), NULL);
CREATE TRIGGER authname_history_insert AFTER INSERT ON authname FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'authname', NEW.idno, 'I', NULL, JSON_OBJECT('idno', NEW.idno, 'penname', NEW.penname, 'trueidno', NEW.trueidno));
CREATE TRIGGER authname_history_update AFTER UPDATE ON authname FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'authname', NEW.idno, 'U', JSON_OBJECT('idno', OLD.idno, 'penname', OLD.penname, 'trueidno', OLD.trueidno),
  JSON_OBJECT('idno', NEW.idno, 'penname', NEW.penname, 'trueidno', NEW.trueidno) FROM DUAL
  WHERE NOT (OLD.idno <=> NEW.idno AND OLD.penname <=> NEW.penname AND OLD.trueidno <=> NEW.trueidno);
CREATE TRIGGER authname_history_delete AFTER DELETE ON authname FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'authname', OLD.idno, 'D', JSON_OBJECT('idno', OLD.idno, 'penname', OLD.penname, 'trueidno', OLD.trueidno), NULL);
CREATE TRIGGER authctrl_history_insert AFTER INSERT ON authctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'authctrl', NEW.row_id, 'I', NULL, JSON_OBJECT('idno_ctrl', NEW.idno_ctrl, 'row_id', NEW.row_id));
CREATE TRIGGER authctrl_history_update AFTER UPDATE ON authctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'authctrl', NEW.row_id, 'U', JSON_OBJECT('idno_ctrl', OLD.idno_ctrl, 'row_id', OLD.row_id),
  JSON_OBJECT('idno_ctrl', NEW.idno_ctrl, 'row_id', NEW.row_id) FROM DUAL
  WHERE NOT (OLD.idno_ctrl <=> NEW.idno_ctrl AND OLD.row_id <=> NEW.row_id);
CREATE TRIGGER authctrl_history_delete AFTER DELETE ON authctrl FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'authctrl', OLD.row_id, 'D', JSON_OBJECT('idno_ctrl', OLD.idno_ctrl, 'row_id', OLD.row_id), NULL);
CREATE TRIGGER reader_history_insert AFTER INSERT ON reader FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'reader', NEW.reader_id, 'I', NULL, JSON_OBJECT('reader_id', NEW.reader_id, 'reader_name', NEW.reader_name, 'email', NEW.email, 'department_code', NEW.department_code));
CREATE TRIGGER reader_history_update AFTER UPDATE ON reader FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'reader', NEW.reader_id, 'U', JSON_OBJECT('reader_id', OLD.reader_id, 'reader_name', OLD.reader_name, 'email', OLD.email, 'department_code', OLD.department_code),
  JSON_OBJECT('reader_id', NEW.reader_id, 'reader_name', NEW.reader_name, 'email', NEW.email, 'department_code', NEW.department_code) FROM DUAL
  WHERE NOT (OLD.reader_id <=> NEW.reader_id AND OLD.reader_name <=> NEW.reader_name AND OLD.email <=> NEW.email AND OLD.department_code <=> NEW.department_code);
CREATE TRIGGER reader_history_delete AFTER DELETE ON reader FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'reader', OLD.reader_id, 'D', JSON_OBJECT('reader_id', OLD.reader_id, 'reader_name', OLD.reader_name, 'email', OLD.email, 'department_code', OLD.department_code), NULL);
CREATE TRIGGER reader_title_history_insert AFTER INSERT ON reader_title FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'reader_title', CONCAT_WS('/', NEW.reader_id, NEW.pointer), 'I', NULL, JSON_OBJECT('reader_id', NEW.reader_id, 'pointer', NEW.pointer, 'since', NEW.since));
CREATE TRIGGER reader_title_history_update AFTER UPDATE ON reader_title FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'reader_title', CONCAT_WS('/', NEW.reader_id, NEW.pointer), 'U', JSON_OBJECT('reader_id', OLD.reader_id, 'pointer', OLD.pointer, 'since', OLD.since),
  JSON_OBJECT('reader_id', NEW.reader_id, 'pointer', NEW.pointer, 'since', NEW.since) FROM DUAL
  WHERE NOT (OLD.reader_id <=> NEW.reader_id AND OLD.pointer <=> NEW.pointer AND OLD.since <=> NEW.since);
CREATE TRIGGER reader_title_history_delete AFTER DELETE ON reader_title FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'reader_title', CONCAT_WS('/', OLD.reader_id, OLD.pointer), 'D', JSON_OBJECT('reader_id', OLD.reader_id, 'pointer', OLD.pointer, 'since', OLD.since), NULL);
CREATE TRIGGER pub_pattern_history_insert AFTER INSERT ON pub_pattern FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'pub_pattern', NEW.pointer, 'I', NULL, JSON_OBJECT('pointer', NEW.pointer, 'months', NEW.months, 'volume_month', NEW.volume_month, 'volume_issues', NEW.volume_issues, 'numbers', NEW.numbers, 'learnt_from', NEW.learnt_from, 'set_by', NEW.set_by, 'set_on', NEW.set_on, 'wording', NEW.wording, 'issue_day', NEW.issue_day, 'number_digits', NEW.number_digits, 'weeks_off', NEW.weeks_off));
CREATE TRIGGER pub_pattern_history_update AFTER UPDATE ON pub_pattern FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'pub_pattern', NEW.pointer, 'U', JSON_OBJECT('pointer', OLD.pointer, 'months', OLD.months, 'volume_month', OLD.volume_month, 'volume_issues', OLD.volume_issues, 'numbers', OLD.numbers, 'learnt_from', OLD.learnt_from, 'set_by', OLD.set_by, 'set_on', OLD.set_on, 'wording', OLD.wording, 'issue_day', OLD.issue_day, 'number_digits', OLD.number_digits, 'weeks_off', OLD.weeks_off),
  JSON_OBJECT('pointer', NEW.pointer, 'months', NEW.months, 'volume_month', NEW.volume_month, 'volume_issues', NEW.volume_issues, 'numbers', NEW.numbers, 'learnt_from', NEW.learnt_from, 'set_by', NEW.set_by, 'set_on', NEW.set_on, 'wording', NEW.wording, 'issue_day', NEW.issue_day, 'number_digits', NEW.number_digits, 'weeks_off', NEW.weeks_off) FROM DUAL
  WHERE NOT (OLD.pointer <=> NEW.pointer AND OLD.months <=> NEW.months AND OLD.volume_month <=> NEW.volume_month AND OLD.volume_issues <=> NEW.volume_issues AND OLD.numbers <=> NEW.numbers AND OLD.learnt_from <=> NEW.learnt_from AND OLD.set_by <=> NEW.set_by AND OLD.set_on <=> NEW.set_on AND OLD.wording <=> NEW.wording AND OLD.issue_day <=> NEW.issue_day AND OLD.number_digits <=> NEW.number_digits AND OLD.weeks_off <=> NEW.weeks_off);
CREATE TRIGGER pub_pattern_history_delete AFTER DELETE ON pub_pattern FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'pub_pattern', OLD.pointer, 'D', JSON_OBJECT('pointer', OLD.pointer, 'months', OLD.months, 'volume_month', OLD.volume_month, 'volume_issues', OLD.volume_issues, 'numbers', OLD.numbers, 'learnt_from', OLD.learnt_from, 'set_by', OLD.set_by, 'set_on', OLD.set_on, 'wording', OLD.wording, 'issue_day', OLD.issue_day, 'number_digits', OLD.number_digits, 'weeks_off', OLD.weeks_off), NULL);
CREATE TRIGGER claim_history_insert AFTER INSERT ON claim FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'claim', NEW.claim_id, 'I', NULL, JSON_OBJECT('claim_id', NEW.claim_id, 'pointer', NEW.pointer, 'expected', NEW.expected, 'claim_no', NEW.claim_no, 'distributor', NEW.distributor, 'address', NEW.address, 'claimed_at', NEW.claimed_at, 'claimed_by', NEW.claimed_by, 'mail_id', NEW.mail_id, 'answer', NEW.answer, 'answer_note', NEW.answer_note, 'answered_at', NEW.answered_at, 'received_at', NEW.received_at, 'expected_again', NEW.expected_again));
CREATE TRIGGER claim_history_update AFTER UPDATE ON claim FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  SELECT USER(), 'claim', NEW.claim_id, 'U', JSON_OBJECT('claim_id', OLD.claim_id, 'pointer', OLD.pointer, 'expected', OLD.expected, 'claim_no', OLD.claim_no, 'distributor', OLD.distributor, 'address', OLD.address, 'claimed_at', OLD.claimed_at, 'claimed_by', OLD.claimed_by, 'mail_id', OLD.mail_id, 'answer', OLD.answer, 'answer_note', OLD.answer_note, 'answered_at', OLD.answered_at, 'received_at', OLD.received_at, 'expected_again', OLD.expected_again),
  JSON_OBJECT('claim_id', NEW.claim_id, 'pointer', NEW.pointer, 'expected', NEW.expected, 'claim_no', NEW.claim_no, 'distributor', NEW.distributor, 'address', NEW.address, 'claimed_at', NEW.claimed_at, 'claimed_by', NEW.claimed_by, 'mail_id', NEW.mail_id, 'answer', NEW.answer, 'answer_note', NEW.answer_note, 'answered_at', NEW.answered_at, 'received_at', NEW.received_at, 'expected_again', NEW.expected_again) FROM DUAL
  WHERE NOT (OLD.claim_id <=> NEW.claim_id AND OLD.pointer <=> NEW.pointer AND OLD.expected <=> NEW.expected AND OLD.claim_no <=> NEW.claim_no AND OLD.distributor <=> NEW.distributor AND OLD.address <=> NEW.address AND OLD.claimed_at <=> NEW.claimed_at AND OLD.claimed_by <=> NEW.claimed_by AND OLD.mail_id <=> NEW.mail_id AND OLD.answer <=> NEW.answer AND OLD.answer_note <=> NEW.answer_note AND OLD.answered_at <=> NEW.answered_at AND OLD.received_at <=> NEW.received_at AND OLD.expected_again <=> NEW.expected_again);
CREATE TRIGGER claim_history_delete AFTER DELETE ON claim FOR EACH ROW
  INSERT INTO change_history (changed_by, table_name, row_key, action, before_row, after_row)
  VALUES (USER(), 'claim', OLD.claim_id, 'D', JSON_OBJECT('claim_id', OLD.claim_id, 'pointer', OLD.pointer, 'expected', OLD.expected, 'claim_no', OLD.claim_no, 'distributor', OLD.distributor, 'address', OLD.address, 'claimed_at', OLD.claimed_at, 'claimed_by', OLD.claimed_by, 'mail_id', OLD.mail_id, 'answer', OLD.answer, 'answer_note', OLD.answer_note, 'answered_at', OLD.answered_at, 'received_at', OLD.received_at, 'expected_again', OLD.expected_again), NULL);
