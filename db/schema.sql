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
  KEY tranfile_volume (regno),
  KEY tranfile_indate (indate, pointer, regno, yearno, itemsno, DescriptionItem),
  -- A title's registrations of a period: the report server's per-title lists ask each title.
  KEY tranfile_title_indate (pointer, indate)
) ENGINE=InnoDB;

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
  ON DUPLICATE KEY UPDATE pending = 1;

CREATE TRIGGER article_alert AFTER INSERT ON article FOR EACH ROW
  INSERT INTO alert_issue (reader_id, magno)
  SELECT r.reader_id, t.magno FROM reader_title r JOIN tranfile t ON t.pointer = NEW.pointer
  AND TRIM(t.yearno) = TRIM(NEW.year) AND TRIM(t.itemsno) = TRIM(NEW.volume) WHERE r.pointer = NEW.pointer
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
  PRIMARY KEY (token),
  KEY alert_request_open (done, confirmed),
  KEY alert_request_email (email, requested)
) ENGINE=InnoDB;
