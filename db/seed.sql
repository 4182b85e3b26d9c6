-- Installation rows: the counters and the code tables. Loaded once, right after schema.sql.

INSERT INTO recsetup (setup_no, pointer_ctrl1, pointer_ctrl2, pointer_ctrl3, pointer_ctrl4)
VALUES (1, 'J000001', 'I000001', 'K000001', 'L000001');
INSERT INTO jourctrl (magno_ctrl) VALUES ('1');
INSERT INTO artctrl (artno_ctrl) VALUES ('0000001');
INSERT INTO authctrl (idno_ctrl) VALUES ('0000001');
INSERT INTO ctrlsumj (regno_ctrl) VALUES (1);

-- "01" is the language of the foreign-language series J and K; every other code numbers its
-- titles in the Thai-language series I and L.
INSERT INTO language (Language_Code, LangDesTh) VALUES
  ('01', 'ภาษาต่างประเทศ'),
  ('02', 'ภาษาไทย');

INSERT INTO typemag (Type_Code, Type_Thai_Descrition) VALUES
  ('01', 'วารสารวิชาการ'),
  ('02', 'วารสารทั่วไป'),
  ('03', 'นิตยสาร'),
  ('04', 'หนังสือพิมพ์'),
  ('05', 'จุลสาร');

-- Publication frequency; the receipt check steps through the expected issues by these codes.
INSERT INTO magtype (MagType_Code, MagType_Thai_Des) VALUES
  ('01', 'รายวัน'),
  ('02', 'รายสัปดาห์'),
  ('03', 'รายปักษ์'),
  ('04', 'รายเดือน'),
  ('05', 'ราย 2 เดือน'),
  ('06', 'ราย 3 เดือน'),
  ('07', 'ราย 4 เดือน'),
  ('08', 'ราย 6 เดือน'),
  ('09', 'รายปี'),
  ('10', 'ไม่กำหนดออก');

INSERT INTO department (Department_Code, Department_Thai_Des) VALUES
  ('01', 'คณะมนุษยศาสตร์และสังคมศาสตร์'),
  ('02', 'คณะวิทยาศาสตร์และเทคโนโลยี'),
  ('03', 'คณะครุศาสตร์'),
  ('04', 'คณะวิทยาการจัดการ'),
  ('05', 'คณะเทคโนโลยีการเกษตร'),
  ('06', 'คณะเทคโนโลยีอุตสาหกรรม'),
  ('07', 'ศูนย์วิทยบริการ'),
  ('08', 'บัณฑิตวิทยาลัย');

INSERT INTO receives (receivestatus, receivestatusdes) VALUES
  ('1', 'เป็นสมาชิก'),
  ('2', 'ได้รับเป็นของขวัญ'),
  ('3', 'แลกเปลี่ยน'),
  ('4', 'ยกเลิกการเป็นสมาชิก');

INSERT INTO bindcolor (BindType_code, BindColor_DesTh) VALUES
  ('01', 'สีน้ำเงิน'),
  ('02', 'สีแดง'),
  ('03', 'สีเขียว'),
  ('04', 'สีดำ'),
  ('05', 'สีน้ำตาล');

INSERT INTO statustype (Status_code, Status_thai_Descrition) VALUES
  ('01', 'สมาชิกใหม่'),
  ('02', 'ต่ออายุสมาชิก'),
  ('03', 'งดต่ออายุ');
