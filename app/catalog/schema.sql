-- Tables of the catalog file "bibliona.sqlite".
--
-- The program creates no table: it is given a file that holds these, with the
-- special rows of sample.sql.  Column names are written in lower case; the
-- program's SQL writes them in either case and SQLite matches them alike.
--
-- Declared types steer the data-access layer's field classes: INTEGER becomes
-- an integer field, VARCHAR(n) a plain string of n characters, TEXT a memo.
-- Tables without a key of their own (cat_arc and the side tables) are
-- updated through SQLite's rowid.

-- The five-level classification: a group, then four levels of subgroups,
-- each row linked to its parent by the parent's key.
CREATE TABLE gr_name (
  gr_number INTEGER PRIMARY KEY AUTOINCREMENT,
  gr_title VARCHAR(100)
);

CREATE TABLE sbgr1_nm (
  sbgr1_nmb INTEGER PRIMARY KEY AUTOINCREMENT,
  gr_number INTEGER,
  sbgr1_name VARCHAR(100)
);

CREATE TABLE sbgr2_nm (
  sbgr2_nmb INTEGER PRIMARY KEY AUTOINCREMENT,
  sbgr1_nmb INTEGER,
  sbgr2_name VARCHAR(100)
);

CREATE TABLE sbgr3_nm (
  sbgr3_nmb INTEGER PRIMARY KEY AUTOINCREMENT,
  sbgr2_nmb INTEGER,
  sbgr3_name VARCHAR(100)
);

CREATE TABLE sbgr4_nm (
  sbgr4_nmb INTEGER PRIMARY KEY AUTOINCREMENT,
  sbgr3_nmb INTEGER,
  sbgr4_name VARCHAR(100)
);

-- One row per reference, in the level-5 subgroup sbgr4_nmb (874 is the
-- wastebasket).  file_type is one of "sum" "atl" "bk" "rec" "met" "rci"
-- "reg" "pic" "onln" ("bks" in old rows counts as a book); data_input is
-- the entry date "yyyy-mm-dd"; file_doc is empty when no document is linked.
CREATE TABLE bibliona (
  number INTEGER PRIMARY KEY AUTOINCREMENT,
  sbgr4_nmb INTEGER,
  source TEXT,
  summary TEXT,
  author VARCHAR(100),
  data_make INTEGER,
  journal VARCHAR(50),
  file_doc VARCHAR(255),
  file_doc1 VARCHAR(255),
  data_input VARCHAR(10),
  file_type VARCHAR(5),
  doi VARCHAR(100)
);

-- The selection buffer: copies of references collected for a report.
CREATE TABLE cat_arc (
  number INTEGER,
  sbgr4_nmb INTEGER,
  source TEXT,
  summary TEXT,
  author VARCHAR(100),
  journal VARCHAR(50),
  data_make INTEGER,
  file_doc VARCHAR(255),
  file_type VARCHAR(5),
  data_input VARCHAR(10)
);

-- Journal abbreviations: full_name as it is written in citations, short_name
-- as the reference grid shows it.
CREATE TABLE journal (
  short_name VARCHAR(50),
  full_name VARCHAR(150)
);

-- Web addresses; TYPE_INF "j" journal, "s" society, "w" website, "f" search.
CREATE TABLE society (
  SHORT_NAME VARCHAR(50),
  FULL_NAME_ VARCHAR(150),
  ADRESS VARCHAR(255),
  TYPE_INF VARCHAR(1)
);

-- Cleaning pairs; type 1 title, 2 abstract, 3 archive, 4 everywhere.
CREATE TABLE refuse (
  refuse VARCHAR(100),
  replace VARCHAR(100),
  type INTEGER
);

-- Reference formatting rules; electr "n" paper or "u" electronic; system1
-- "g" GOST 7.0.100-2018, "t" GOST 7.0.5-2008, "i" NLM; type1 "b" book,
-- "s" collection, "a" article, "o" report, "p" tutorial, "d" dissertation,
-- "l" law, "t" patent, "r" resource.
CREATE TABLE reference (
  refer TEXT,
  comment VARCHAR(255),
  electr VARCHAR(1),
  system1 VARCHAR(1),
  type1 VARCHAR(1)
);

-- The level lists are filtered by their parent link and ordered by name.
CREATE INDEX sbgr1_nm_parent ON sbgr1_nm (gr_number, sbgr1_name);
CREATE INDEX sbgr2_nm_parent ON sbgr2_nm (sbgr1_nmb, sbgr2_name);
CREATE INDEX sbgr3_nm_parent ON sbgr3_nm (sbgr2_nmb, sbgr3_name);
CREATE INDEX sbgr4_nm_parent ON sbgr4_nm (sbgr3_nmb, sbgr4_name);
CREATE INDEX gr_name_title ON gr_name (gr_title);

-- References: by subgroup (the browsing and the wastebasket count), by
-- publication year and entry date (the default order, the year searches and
-- the statistics), by entry date (the last-month query and "Updated"), by
-- author, type, journal and document (searches, statistics, document check).
CREATE INDEX bibliona_subgroup ON bibliona (sbgr4_nmb, data_make, data_input);
CREATE INDEX bibliona_year ON bibliona (data_make, data_input);
CREATE INDEX bibliona_input ON bibliona (data_input, number);
CREATE INDEX bibliona_author ON bibliona (author);
CREATE INDEX bibliona_type ON bibliona (file_type);
CREATE INDEX bibliona_journal ON bibliona (journal);
CREATE INDEX bibliona_file ON bibliona (file_doc);

CREATE INDEX journal_short ON journal (short_name);
CREATE INDEX refuse_type ON refuse (type, refuse);
CREATE INDEX society_type ON society (TYPE_INF);
CREATE INDEX reference_filter ON reference (electr, system1, type1);
