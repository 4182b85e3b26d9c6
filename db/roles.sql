-- Staff roles: what each task may do to this database. Loaded into the database (the grants
-- name its tables without a database, so they apply to the one in use), by the administrator
-- or by `warasan-dbcheck --migrate`; loading it again changes nothing. A member of staff is
-- given one or more of these by `warasan-dbcheck --staff`; the program offers each person only
-- what their roles allow, and the server refuses the rest whoever asks.
-- Every role reads everything (the history of changes included) and may stage the receipt
-- check's rows; no role may write the history: only its triggers do.

-- Reports: reading, the printed lists, the report server's account.
CREATE ROLE IF NOT EXISTS warasan_reports;
GRANT SELECT ON * TO warasan_reports;
GRANT INSERT, DELETE ON chk_receive TO warasan_reports;

-- Check-in: issues as they arrive and bound volumes.
CREATE ROLE IF NOT EXISTS warasan_checkin;
GRANT SELECT ON * TO warasan_checkin;
GRANT INSERT, DELETE ON chk_receive TO warasan_checkin;
GRANT INSERT, UPDATE ON tranfile TO warasan_checkin;
GRANT INSERT, UPDATE ON sum_journal TO warasan_checkin;
GRANT UPDATE ON jourctrl TO warasan_checkin;
GRANT UPDATE ON ctrlsumj TO warasan_checkin;
GRANT INSERT, UPDATE ON pub_pattern TO warasan_checkin;
GRANT INSERT, UPDATE ON claim TO warasan_checkin;
GRANT INSERT ON alert_mail TO warasan_checkin;

-- Indexing: articles, their authors and subjects.
CREATE ROLE IF NOT EXISTS warasan_indexing;
GRANT SELECT ON * TO warasan_indexing;
GRANT INSERT, DELETE ON chk_receive TO warasan_indexing;
GRANT INSERT, UPDATE ON article TO warasan_indexing;
GRANT INSERT, UPDATE, DELETE ON article_gram TO warasan_indexing;
GRANT INSERT, UPDATE, DELETE ON mauthfile TO warasan_indexing;
GRANT INSERT, UPDATE, DELETE ON msubject TO warasan_indexing;
GRANT INSERT, UPDATE, DELETE ON msubject_gram TO warasan_indexing;
GRANT INSERT, UPDATE ON authname TO warasan_indexing;
GRANT UPDATE ON artctrl TO warasan_indexing;
GRANT UPDATE ON authctrl TO warasan_indexing;

-- Supervision: titles, publishers, renewals, readers, code tables, number controls, and every
-- deletion.
CREATE ROLE IF NOT EXISTS warasan_supervision;
GRANT SELECT ON * TO warasan_supervision;
GRANT INSERT, DELETE ON chk_receive TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON magazine TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON magazine_gram TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON dealer TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON pub_pattern TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON recsetup TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON typemag TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON language TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON magtype TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON department TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON receives TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON bindcolor TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON statustype TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON reader TO warasan_supervision;
GRANT INSERT, UPDATE, DELETE ON reader_title TO warasan_supervision;
GRANT DELETE ON alert_issue TO warasan_supervision;
GRANT INSERT, UPDATE ON claim TO warasan_supervision;
GRANT INSERT ON alert_mail TO warasan_supervision;
GRANT INSERT, UPDATE ON artctrl TO warasan_supervision;
GRANT INSERT, UPDATE ON authctrl TO warasan_supervision;
GRANT INSERT, UPDATE ON jourctrl TO warasan_supervision;
GRANT INSERT, UPDATE ON ctrlsumj TO warasan_supervision;
GRANT DELETE ON tranfile TO warasan_supervision;
GRANT DELETE ON sum_journal TO warasan_supervision;
GRANT DELETE ON article TO warasan_supervision;
GRANT DELETE ON article_gram TO warasan_supervision;
GRANT DELETE ON mauthfile TO warasan_supervision;
GRANT DELETE ON msubject TO warasan_supervision;
GRANT DELETE ON msubject_gram TO warasan_supervision;
GRANT DELETE ON authname TO warasan_supervision;
