-- The New Words book as it ships: table Word and a few example pairs the
-- learner may keep or delete. The build turns this into dialog.ocx.
PRAGMA journal_mode = WAL;

-- index: the playback order, given by the store and never reused.
-- (English, Russian) is the unique key, compared byte for byte, so one English
-- word may carry several Russian translations.
CREATE TABLE Word (
    "index" INTEGER PRIMARY KEY AUTOINCREMENT,
    English TEXT NOT NULL DEFAULT '' COLLATE BINARY,
    Russian TEXT NOT NULL DEFAULT '' COLLATE BINARY,
    UNIQUE (English, Russian)
);

BEGIN;
INSERT INTO Word (English, Russian) VALUES
    ('Hello', 'Здравствуйте'),
    ('Goodbye', 'До свидания'),
    ('Thank you', 'Спасибо'),
    ('Good morning', 'Доброе утро'),
    ('Good night', 'Спокойной ночи'),
    ('Excuse me', 'Извините'),
    ('Yes', 'Да'),
    ('No', 'Нет'),
    ('water', 'вода'),
    ('bread', 'хлеб'),
    ('friend', 'друг'),
    ('friend', 'подруга'),
    ('What is your name?', 'Как вас зовут?'),
    ('Nice to meet you.', 'Приятно познакомиться.'),
    ('How much does it cost?', 'Сколько это стоит?'),
    ('Where is the station?', 'Где вокзал?'),
    ('I don''t understand.', 'Я не понимаю.'),
    ('Please speak more slowly.', 'Говорите, пожалуйста, медленнее.'),
    ('See you tomorrow.', 'До завтра.');
COMMIT;
