-- Clipwright profile catalogue. The build turns this file into ct.s3db with
-- the sqlite3 program; the program only reads it.
--
-- bigclass is the list of categories (the id also picks category-<ID>.png),
-- type the list of profiles. Each profile's name ends with its output extension
-- in parentheses and holds no other ".": the extension is found at the first
-- point of the name. Profile ids are the category id times 100 plus a running
-- number, so they stay within four digits.
--
-- The seven choice tables give a profile's values for one option each, in the
-- order of `orders`; the first row is the value the profile starts with. Values
-- are stored as the text the option sheet shows: codec names as the command
-- builder knows them, sizes as WIDTHxHEIGHT, rates in kbit/s, frames per second
-- and Hz, or "Original" to keep the source's value. A profile without rows in
-- a table shows "N/A" for that option: audio profiles have no video rows, the
-- animated GIF has no audio rows, lossless codecs have no bitrate rows.

BEGIN TRANSACTION;

CREATE TABLE bigclass (ID integer PRIMARY KEY, class text NOT NULL);
CREATE TABLE type (ID integer PRIMARY KEY, classid integer NOT NULL, typename text NOT NULL);
CREATE TABLE videocodec (typeid integer NOT NULL, orders integer NOT NULL, videocodec text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE videobitrate (typeid integer NOT NULL, orders integer NOT NULL, videobitrate text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE framerate (typeid integer NOT NULL, orders integer NOT NULL, framerate text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE videosize (typeid integer NOT NULL, orders integer NOT NULL, videosize text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE audiocodec (typeid integer NOT NULL, orders integer NOT NULL, audiocodec text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE audiobitrate (typeid integer NOT NULL, orders integer NOT NULL, audiobitrate text NOT NULL, PRIMARY KEY (typeid, orders));
CREATE TABLE samplerate (typeid integer NOT NULL, orders integer NOT NULL, samplerate text NOT NULL, PRIMARY KEY (typeid, orders));

INSERT INTO bigclass VALUES
  (1, 'General Video'),
  (2, 'HD Video'),
  (3, 'Web Video'),
  (4, 'Phones and Tablets'),
  (5, 'Consoles and Players'),
  (6, 'DVD and VCD'),
  (7, 'Editing and Archiving'),
  (8, 'Audio Only');

-- 1: General Video

INSERT INTO type VALUES (101, 1, 'MP4 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (101, 1, 'x264'), (101, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (101, 1, '1200'), (101, 2, '512'), (101, 3, '768'), (101, 4, '1000'), (101, 5, '1500'), (101, 6, '2000'), (101, 7, '2500');
INSERT INTO framerate    VALUES (101, 1, 'Original'), (101, 2, '23.976'), (101, 3, '24'), (101, 4, '25'), (101, 5, '29.97'), (101, 6, '30');
INSERT INTO videosize    VALUES (101, 1, 'Original'), (101, 2, '320x240'), (101, 3, '640x360'), (101, 4, '640x480'), (101, 5, '854x480'), (101, 6, '1280x720'), (101, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (101, 1, 'aac'), (101, 2, 'mp3');
INSERT INTO audiobitrate VALUES (101, 1, '128'), (101, 2, '96'), (101, 3, '160'), (101, 4, '192'), (101, 5, '256');
INSERT INTO samplerate   VALUES (101, 1, '44100'), (101, 2, '48000'), (101, 3, '32000'), (101, 4, '22050');

INSERT INTO type VALUES (102, 1, 'MP4 MPEG-4 Video (*.mp4)');
INSERT INTO videocodec   VALUES (102, 1, 'mpeg4'), (102, 2, 'x264');
INSERT INTO videobitrate VALUES (102, 1, '1200'), (102, 2, '512'), (102, 3, '768'), (102, 4, '1000'), (102, 5, '1500'), (102, 6, '2000'), (102, 7, '2500');
INSERT INTO framerate    VALUES (102, 1, 'Original'), (102, 2, '23.976'), (102, 3, '24'), (102, 4, '25'), (102, 5, '29.97'), (102, 6, '30');
INSERT INTO videosize    VALUES (102, 1, 'Original'), (102, 2, '320x240'), (102, 3, '640x360'), (102, 4, '640x480'), (102, 5, '854x480'), (102, 6, '1280x720'), (102, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (102, 1, 'aac'), (102, 2, 'mp3');
INSERT INTO audiobitrate VALUES (102, 1, '128'), (102, 2, '96'), (102, 3, '160'), (102, 4, '192'), (102, 5, '256');
INSERT INTO samplerate   VALUES (102, 1, '44100'), (102, 2, '48000'), (102, 3, '32000'), (102, 4, '22050');

INSERT INTO type VALUES (103, 1, 'AVI XviD Video (*.avi)');
INSERT INTO videocodec   VALUES (103, 1, 'xvid'), (103, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (103, 1, '1200'), (103, 2, '512'), (103, 3, '768'), (103, 4, '1000'), (103, 5, '1500'), (103, 6, '2000');
INSERT INTO framerate    VALUES (103, 1, 'Original'), (103, 2, '23.976'), (103, 3, '24'), (103, 4, '25'), (103, 5, '29.97'), (103, 6, '30');
INSERT INTO videosize    VALUES (103, 1, 'Original'), (103, 2, '320x240'), (103, 3, '640x360'), (103, 4, '640x480'), (103, 5, '854x480'), (103, 6, '1280x720'), (103, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (103, 1, 'mp3'), (103, 2, 'ac3');
INSERT INTO audiobitrate VALUES (103, 1, '128'), (103, 2, '96'), (103, 3, '160'), (103, 4, '192'), (103, 5, '256'), (103, 6, '320');
INSERT INTO samplerate   VALUES (103, 1, '44100'), (103, 2, '48000');

INSERT INTO type VALUES (104, 1, 'AVI MPEG-4 Video (*.avi)');
INSERT INTO videocodec   VALUES (104, 1, 'mpeg4'), (104, 2, 'xvid');
INSERT INTO videobitrate VALUES (104, 1, '1200'), (104, 2, '512'), (104, 3, '768'), (104, 4, '1000'), (104, 5, '1500'), (104, 6, '2000');
INSERT INTO framerate    VALUES (104, 1, 'Original'), (104, 2, '23.976'), (104, 3, '24'), (104, 4, '25'), (104, 5, '29.97'), (104, 6, '30');
INSERT INTO videosize    VALUES (104, 1, 'Original'), (104, 2, '320x240'), (104, 3, '640x360'), (104, 4, '640x480'), (104, 5, '854x480'), (104, 6, '1280x720'), (104, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (104, 1, 'mp3'), (104, 2, 'ac3');
INSERT INTO audiobitrate VALUES (104, 1, '128'), (104, 2, '96'), (104, 3, '160'), (104, 4, '192'), (104, 5, '256'), (104, 6, '320');
INSERT INTO samplerate   VALUES (104, 1, '44100'), (104, 2, '48000');

INSERT INTO type VALUES (105, 1, 'AVI H264 Video (*.avi)');
INSERT INTO videocodec   VALUES (105, 1, 'x264');
INSERT INTO videobitrate VALUES (105, 1, '1200'), (105, 2, '512'), (105, 3, '768'), (105, 4, '1000'), (105, 5, '1500'), (105, 6, '2000'), (105, 7, '2500');
INSERT INTO framerate    VALUES (105, 1, 'Original'), (105, 2, '23.976'), (105, 3, '24'), (105, 4, '25'), (105, 5, '29.97'), (105, 6, '30');
INSERT INTO videosize    VALUES (105, 1, 'Original'), (105, 2, '320x240'), (105, 3, '640x360'), (105, 4, '640x480'), (105, 5, '854x480'), (105, 6, '1280x720'), (105, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (105, 1, 'mp3'), (105, 2, 'ac3');
INSERT INTO audiobitrate VALUES (105, 1, '128'), (105, 2, '96'), (105, 3, '160'), (105, 4, '192'), (105, 5, '256'), (105, 6, '320');
INSERT INTO samplerate   VALUES (105, 1, '44100'), (105, 2, '48000');

INSERT INTO type VALUES (106, 1, 'AVI MS MPEG-4 Video (*.avi)');
INSERT INTO videocodec   VALUES (106, 1, 'msmpeg4'), (106, 2, 'msmpeg4v2');
INSERT INTO videobitrate VALUES (106, 1, '1000'), (106, 2, '512'), (106, 3, '768'), (106, 4, '1500');
INSERT INTO framerate    VALUES (106, 1, 'Original'), (106, 2, '23.976'), (106, 3, '24'), (106, 4, '25'), (106, 5, '29.97'), (106, 6, '30');
INSERT INTO videosize    VALUES (106, 1, 'Original'), (106, 2, '320x240'), (106, 3, '640x480'), (106, 4, '720x480');
INSERT INTO audiocodec   VALUES (106, 1, 'mp3');
INSERT INTO audiobitrate VALUES (106, 1, '128'), (106, 2, '96'), (106, 3, '160'), (106, 4, '192'), (106, 5, '256'), (106, 6, '320');
INSERT INTO samplerate   VALUES (106, 1, '44100'), (106, 2, '48000');

INSERT INTO type VALUES (107, 1, 'MKV H264 Video (*.mkv)');
INSERT INTO videocodec   VALUES (107, 1, 'x264'), (107, 2, 'mpeg4'), (107, 3, 'vp8');
INSERT INTO videobitrate VALUES (107, 1, '1500'), (107, 2, '768'), (107, 3, '1000'), (107, 4, '2000'), (107, 5, '2500'), (107, 6, '4000');
INSERT INTO framerate    VALUES (107, 1, 'Original'), (107, 2, '23.976'), (107, 3, '24'), (107, 4, '25'), (107, 5, '29.97'), (107, 6, '30');
INSERT INTO videosize    VALUES (107, 1, 'Original'), (107, 2, '320x240'), (107, 3, '640x360'), (107, 4, '640x480'), (107, 5, '854x480'), (107, 6, '1280x720'), (107, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (107, 1, 'aac'), (107, 2, 'ac3'), (107, 3, 'ogg'), (107, 4, 'mp3'), (107, 5, 'flac');
INSERT INTO audiobitrate VALUES (107, 1, '160'), (107, 2, '128'), (107, 3, '192'), (107, 4, '256');
INSERT INTO samplerate   VALUES (107, 1, '44100'), (107, 2, '48000');

INSERT INTO type VALUES (108, 1, 'MOV QuickTime Video (*.mov)');
INSERT INTO videocodec   VALUES (108, 1, 'x264'), (108, 2, 'mpeg4'), (108, 3, 'mjpeg');
INSERT INTO videobitrate VALUES (108, 1, '1500'), (108, 2, '768'), (108, 3, '1000'), (108, 4, '2000'), (108, 5, '2500'), (108, 6, '4000');
INSERT INTO framerate    VALUES (108, 1, 'Original'), (108, 2, '23.976'), (108, 3, '24'), (108, 4, '25'), (108, 5, '29.97'), (108, 6, '30');
INSERT INTO videosize    VALUES (108, 1, 'Original'), (108, 2, '320x240'), (108, 3, '640x360'), (108, 4, '640x480'), (108, 5, '854x480'), (108, 6, '1280x720'), (108, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (108, 1, 'aac'), (108, 2, 'pcm_s16be');
INSERT INTO audiobitrate VALUES (108, 1, '128'), (108, 2, '96'), (108, 3, '160'), (108, 4, '192'), (108, 5, '256');
INSERT INTO samplerate   VALUES (108, 1, '44100'), (108, 2, '48000');

INSERT INTO type VALUES (109, 1, 'WMV Windows Media Video (*.wmv)');
INSERT INTO videocodec   VALUES (109, 1, 'wmv v9'), (109, 2, 'wmv1');
INSERT INTO videobitrate VALUES (109, 1, '1000'), (109, 2, '512'), (109, 3, '768'), (109, 4, '1500'), (109, 5, '2000');
INSERT INTO framerate    VALUES (109, 1, 'Original'), (109, 2, '23.976'), (109, 3, '24'), (109, 4, '25'), (109, 5, '29.97'), (109, 6, '30');
INSERT INTO videosize    VALUES (109, 1, 'Original'), (109, 2, '320x240'), (109, 3, '640x360'), (109, 4, '640x480'), (109, 5, '854x480'), (109, 6, '1280x720'), (109, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (109, 1, 'wma 9.2');
INSERT INTO audiobitrate VALUES (109, 1, '128'), (109, 2, '64'), (109, 3, '96'), (109, 4, '160'), (109, 5, '192');
INSERT INTO samplerate   VALUES (109, 1, '44100'), (109, 2, '48000');

-- MPEG-1 and MPEG-2 video take only the standard frame rates, so these
-- profiles start at 29.97 and offer no "Original".
INSERT INTO type VALUES (110, 1, 'MPEG-1 Video (*.mpg)');
INSERT INTO videocodec   VALUES (110, 1, 'mpeg1');
INSERT INTO videobitrate VALUES (110, 1, '1500'), (110, 2, '1150'), (110, 3, '1000'), (110, 4, '2000'), (110, 5, '2500');
INSERT INTO framerate    VALUES (110, 1, '29.97'), (110, 2, '25'), (110, 3, '30'), (110, 4, '24'), (110, 5, '23.976');
INSERT INTO videosize    VALUES (110, 1, 'Original'), (110, 2, '352x240'), (110, 3, '352x288'), (110, 4, '320x240'), (110, 5, '640x480');
INSERT INTO audiocodec   VALUES (110, 1, 'mp2'), (110, 2, 'mp3');
INSERT INTO audiobitrate VALUES (110, 1, '224'), (110, 2, '128'), (110, 3, '160'), (110, 4, '192'), (110, 5, '256');
INSERT INTO samplerate   VALUES (110, 1, '44100'), (110, 2, '48000');

INSERT INTO type VALUES (111, 1, 'MPEG-2 Video (*.mpg)');
INSERT INTO videocodec   VALUES (111, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (111, 1, '4000'), (111, 2, '2500'), (111, 3, '3000'), (111, 4, '5000'), (111, 5, '6000'), (111, 6, '8000');
INSERT INTO framerate    VALUES (111, 1, '29.97'), (111, 2, '25'), (111, 3, '30'), (111, 4, '24'), (111, 5, '23.976');
INSERT INTO videosize    VALUES (111, 1, 'Original'), (111, 2, '720x480'), (111, 3, '720x576'), (111, 4, '640x480'), (111, 5, '1280x720'), (111, 6, '1920x1080');
INSERT INTO audiocodec   VALUES (111, 1, 'mp2'), (111, 2, 'ac3');
INSERT INTO audiobitrate VALUES (111, 1, '224'), (111, 2, '128'), (111, 3, '192'), (111, 4, '256'), (111, 5, '384');
INSERT INTO samplerate   VALUES (111, 1, '48000'), (111, 2, '44100');

INSERT INTO type VALUES (112, 1, 'MPEG-TS H264 Video (*.ts)');
INSERT INTO videocodec   VALUES (112, 1, 'x264'), (112, 2, 'mpeg2');
INSERT INTO videobitrate VALUES (112, 1, '2000'), (112, 2, '1000'), (112, 3, '1500'), (112, 4, '2500'), (112, 5, '4000');
INSERT INTO framerate    VALUES (112, 1, 'Original'), (112, 2, '23.976'), (112, 3, '24'), (112, 4, '25'), (112, 5, '29.97'), (112, 6, '30');
INSERT INTO videosize    VALUES (112, 1, 'Original'), (112, 2, '320x240'), (112, 3, '640x360'), (112, 4, '640x480'), (112, 5, '854x480'), (112, 6, '1280x720'), (112, 7, '1920x1080');
INSERT INTO audiocodec   VALUES (112, 1, 'aac'), (112, 2, 'ac3'), (112, 3, 'mp2');
INSERT INTO audiobitrate VALUES (112, 1, '160'), (112, 2, '128'), (112, 3, '192'), (112, 4, '256');
INSERT INTO samplerate   VALUES (112, 1, '48000'), (112, 2, '44100');

-- 2: HD Video

INSERT INTO type VALUES (201, 2, 'HD 720p MP4 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (201, 1, 'x264');
INSERT INTO videobitrate VALUES (201, 1, '2500'), (201, 2, '1500'), (201, 3, '2000'), (201, 4, '3000'), (201, 5, '4000'), (201, 6, '5000');
INSERT INTO framerate    VALUES (201, 1, 'Original'), (201, 2, '23.976'), (201, 3, '24'), (201, 4, '25'), (201, 5, '29.97'), (201, 6, '30');
INSERT INTO videosize    VALUES (201, 1, '1280x720'), (201, 2, 'Original'), (201, 3, '960x540');
INSERT INTO audiocodec   VALUES (201, 1, 'aac'), (201, 2, 'ac3');
INSERT INTO audiobitrate VALUES (201, 1, '160'), (201, 2, '128'), (201, 3, '192'), (201, 4, '256');
INSERT INTO samplerate   VALUES (201, 1, '48000'), (201, 2, '44100');

INSERT INTO type VALUES (202, 2, 'HD 1080p MP4 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (202, 1, 'x264');
INSERT INTO videobitrate VALUES (202, 1, '6000'), (202, 2, '4000'), (202, 3, '5000'), (202, 4, '8000'), (202, 5, '10000');
INSERT INTO framerate    VALUES (202, 1, 'Original'), (202, 2, '23.976'), (202, 3, '24'), (202, 4, '25'), (202, 5, '29.97'), (202, 6, '30');
INSERT INTO videosize    VALUES (202, 1, '1920x1080'), (202, 2, 'Original'), (202, 3, '1280x720');
INSERT INTO audiocodec   VALUES (202, 1, 'aac'), (202, 2, 'ac3');
INSERT INTO audiobitrate VALUES (202, 1, '192'), (202, 2, '128'), (202, 3, '160'), (202, 4, '256');
INSERT INTO samplerate   VALUES (202, 1, '48000'), (202, 2, '44100');

INSERT INTO type VALUES (203, 2, 'HD 720p MKV H264 Video (*.mkv)');
INSERT INTO videocodec   VALUES (203, 1, 'x264');
INSERT INTO videobitrate VALUES (203, 1, '2500'), (203, 2, '1500'), (203, 3, '2000'), (203, 4, '3000'), (203, 5, '4000'), (203, 6, '5000');
INSERT INTO framerate    VALUES (203, 1, 'Original'), (203, 2, '23.976'), (203, 3, '24'), (203, 4, '25'), (203, 5, '29.97'), (203, 6, '30');
INSERT INTO videosize    VALUES (203, 1, '1280x720'), (203, 2, 'Original'), (203, 3, '960x540');
INSERT INTO audiocodec   VALUES (203, 1, 'aac'), (203, 2, 'ac3'), (203, 3, 'ogg'), (203, 4, 'flac');
INSERT INTO audiobitrate VALUES (203, 1, '160'), (203, 2, '128'), (203, 3, '192'), (203, 4, '256');
INSERT INTO samplerate   VALUES (203, 1, '48000'), (203, 2, '44100');

INSERT INTO type VALUES (204, 2, 'HD 1080p MKV H264 Video (*.mkv)');
INSERT INTO videocodec   VALUES (204, 1, 'x264');
INSERT INTO videobitrate VALUES (204, 1, '6000'), (204, 2, '4000'), (204, 3, '5000'), (204, 4, '8000'), (204, 5, '10000');
INSERT INTO framerate    VALUES (204, 1, 'Original'), (204, 2, '23.976'), (204, 3, '24'), (204, 4, '25'), (204, 5, '29.97'), (204, 6, '30');
INSERT INTO videosize    VALUES (204, 1, '1920x1080'), (204, 2, 'Original'), (204, 3, '1280x720');
INSERT INTO audiocodec   VALUES (204, 1, 'ac3'), (204, 2, 'aac'), (204, 3, 'flac');
INSERT INTO audiobitrate VALUES (204, 1, '384'), (204, 2, '192'), (204, 3, '224'), (204, 4, '256'), (204, 5, '448');
INSERT INTO samplerate   VALUES (204, 1, '48000');

INSERT INTO type VALUES (205, 2, 'HD 720p MOV H264 Video (*.mov)');
INSERT INTO videocodec   VALUES (205, 1, 'x264');
INSERT INTO videobitrate VALUES (205, 1, '2500'), (205, 2, '1500'), (205, 3, '2000'), (205, 4, '3000'), (205, 5, '4000'), (205, 6, '5000');
INSERT INTO framerate    VALUES (205, 1, 'Original'), (205, 2, '23.976'), (205, 3, '24'), (205, 4, '25'), (205, 5, '29.97'), (205, 6, '30');
INSERT INTO videosize    VALUES (205, 1, '1280x720'), (205, 2, 'Original'), (205, 3, '960x540');
INSERT INTO audiocodec   VALUES (205, 1, 'aac'), (205, 2, 'pcm_s16be');
INSERT INTO audiobitrate VALUES (205, 1, '160'), (205, 2, '128'), (205, 3, '192'), (205, 4, '256');
INSERT INTO samplerate   VALUES (205, 1, '48000'), (205, 2, '44100');

INSERT INTO type VALUES (206, 2, 'HD 1080p MOV H264 Video (*.mov)');
INSERT INTO videocodec   VALUES (206, 1, 'x264');
INSERT INTO videobitrate VALUES (206, 1, '6000'), (206, 2, '4000'), (206, 3, '5000'), (206, 4, '8000'), (206, 5, '10000');
INSERT INTO framerate    VALUES (206, 1, 'Original'), (206, 2, '23.976'), (206, 3, '24'), (206, 4, '25'), (206, 5, '29.97'), (206, 6, '30');
INSERT INTO videosize    VALUES (206, 1, '1920x1080'), (206, 2, 'Original'), (206, 3, '1280x720');
INSERT INTO audiocodec   VALUES (206, 1, 'aac'), (206, 2, 'pcm_s16be');
INSERT INTO audiobitrate VALUES (206, 1, '192'), (206, 2, '128'), (206, 3, '160'), (206, 4, '256');
INSERT INTO samplerate   VALUES (206, 1, '48000'), (206, 2, '44100');

INSERT INTO type VALUES (207, 2, 'HD 720p AVI XviD Video (*.avi)');
INSERT INTO videocodec   VALUES (207, 1, 'xvid'), (207, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (207, 1, '4000'), (207, 2, '2500'), (207, 3, '3000'), (207, 4, '5000'), (207, 5, '6000');
INSERT INTO framerate    VALUES (207, 1, 'Original'), (207, 2, '23.976'), (207, 3, '24'), (207, 4, '25'), (207, 5, '29.97'), (207, 6, '30');
INSERT INTO videosize    VALUES (207, 1, '1280x720'), (207, 2, 'Original'), (207, 3, '960x540');
INSERT INTO audiocodec   VALUES (207, 1, 'mp3'), (207, 2, 'ac3');
INSERT INTO audiobitrate VALUES (207, 1, '192'), (207, 2, '128'), (207, 3, '160'), (207, 4, '256'), (207, 5, '320');
INSERT INTO samplerate   VALUES (207, 1, '48000'), (207, 2, '44100');

INSERT INTO type VALUES (208, 2, 'HD 720p WMV Video (*.wmv)');
INSERT INTO videocodec   VALUES (208, 1, 'wmv v9');
INSERT INTO videobitrate VALUES (208, 1, '4000'), (208, 2, '2500'), (208, 3, '3000'), (208, 4, '5000'), (208, 5, '6000');
INSERT INTO framerate    VALUES (208, 1, 'Original'), (208, 2, '23.976'), (208, 3, '24'), (208, 4, '25'), (208, 5, '29.97'), (208, 6, '30');
INSERT INTO videosize    VALUES (208, 1, '1280x720'), (208, 2, 'Original'), (208, 3, '960x540');
INSERT INTO audiocodec   VALUES (208, 1, 'wma 9.2');
INSERT INTO audiobitrate VALUES (208, 1, '192'), (208, 2, '128'), (208, 3, '160');
INSERT INTO samplerate   VALUES (208, 1, '48000'), (208, 2, '44100');

INSERT INTO type VALUES (209, 2, 'HD 1080 MPEG-2 TS Video (*.ts)');
INSERT INTO videocodec   VALUES (209, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (209, 1, '15000'), (209, 2, '10000'), (209, 3, '12000'), (209, 4, '18000'), (209, 5, '20000');
INSERT INTO framerate    VALUES (209, 1, '29.97'), (209, 2, '25'), (209, 3, '30'), (209, 4, '24'), (209, 5, '23.976');
INSERT INTO videosize    VALUES (209, 1, '1920x1080'), (209, 2, '1440x1080'), (209, 3, '1280x720');
INSERT INTO audiocodec   VALUES (209, 1, 'ac3'), (209, 2, 'mp2');
INSERT INTO audiobitrate VALUES (209, 1, '384'), (209, 2, '192'), (209, 3, '224'), (209, 4, '256'), (209, 5, '448');
INSERT INTO samplerate   VALUES (209, 1, '48000');

INSERT INTO type VALUES (210, 2, 'HD 1080p H264 TS Video (*.ts)');
INSERT INTO videocodec   VALUES (210, 1, 'x264');
INSERT INTO videobitrate VALUES (210, 1, '8000'), (210, 2, '5000'), (210, 3, '6000'), (210, 4, '10000'), (210, 5, '12000');
INSERT INTO framerate    VALUES (210, 1, 'Original'), (210, 2, '23.976'), (210, 3, '24'), (210, 4, '25'), (210, 5, '29.97'), (210, 6, '30');
INSERT INTO videosize    VALUES (210, 1, '1920x1080'), (210, 2, 'Original'), (210, 3, '1280x720');
INSERT INTO audiocodec   VALUES (210, 1, 'ac3'), (210, 2, 'aac');
INSERT INTO audiobitrate VALUES (210, 1, '384'), (210, 2, '192'), (210, 3, '224'), (210, 4, '256'), (210, 5, '448');
INSERT INTO samplerate   VALUES (210, 1, '48000');

-- 3: Web Video

INSERT INTO type VALUES (301, 3, 'WebM VP8 Video (*.webm)');
INSERT INTO videocodec   VALUES (301, 1, 'vp8');
INSERT INTO videobitrate VALUES (301, 1, '1000'), (301, 2, '512'), (301, 3, '768'), (301, 4, '1500'), (301, 5, '2000'), (301, 6, '2500');
INSERT INTO framerate    VALUES (301, 1, 'Original'), (301, 2, '23.976'), (301, 3, '24'), (301, 4, '25'), (301, 5, '29.97'), (301, 6, '30');
INSERT INTO videosize    VALUES (301, 1, '640x360'), (301, 2, '480x270'), (301, 3, '854x480'), (301, 4, '1280x720'), (301, 5, 'Original');
INSERT INTO audiocodec   VALUES (301, 1, 'ogg');
INSERT INTO audiobitrate VALUES (301, 1, '128'), (301, 2, '96'), (301, 3, '160'), (301, 4, '192');
INSERT INTO samplerate   VALUES (301, 1, '44100'), (301, 2, '48000');

INSERT INTO type VALUES (302, 3, 'HD 720p WebM VP8 Video (*.webm)');
INSERT INTO videocodec   VALUES (302, 1, 'vp8');
INSERT INTO videobitrate VALUES (302, 1, '2500'), (302, 2, '1500'), (302, 3, '2000'), (302, 4, '3000'), (302, 5, '4000');
INSERT INTO framerate    VALUES (302, 1, 'Original'), (302, 2, '23.976'), (302, 3, '24'), (302, 4, '25'), (302, 5, '29.97'), (302, 6, '30');
INSERT INTO videosize    VALUES (302, 1, '1280x720'), (302, 2, 'Original'), (302, 3, '960x540');
INSERT INTO audiocodec   VALUES (302, 1, 'ogg');
INSERT INTO audiobitrate VALUES (302, 1, '160'), (302, 2, '128'), (302, 3, '192');
INSERT INTO samplerate   VALUES (302, 1, '44100'), (302, 2, '48000');

INSERT INTO type VALUES (303, 3, 'FLV Flash Video (*.flv)');
INSERT INTO videocodec   VALUES (303, 1, 'flv');
INSERT INTO videobitrate VALUES (303, 1, '512'), (303, 2, '256'), (303, 3, '384'), (303, 4, '768'), (303, 5, '1000');
INSERT INTO framerate    VALUES (303, 1, 'Original'), (303, 2, '23.976'), (303, 3, '24'), (303, 4, '25'), (303, 5, '29.97'), (303, 6, '30');
INSERT INTO videosize    VALUES (303, 1, '320x240'), (303, 2, '480x360'), (303, 3, '640x480'), (303, 4, '400x300'), (303, 5, 'Original');
INSERT INTO audiocodec   VALUES (303, 1, 'mp3');
INSERT INTO audiobitrate VALUES (303, 1, '96'), (303, 2, '64'), (303, 3, '128'), (303, 4, '160');
INSERT INTO samplerate   VALUES (303, 1, '44100'), (303, 2, '22050'), (303, 3, '11025');

INSERT INTO type VALUES (304, 3, 'FLV H264 Video (*.flv)');
INSERT INTO videocodec   VALUES (304, 1, 'x264');
INSERT INTO videobitrate VALUES (304, 1, '1000'), (304, 2, '512'), (304, 3, '768'), (304, 4, '1500'), (304, 5, '2000');
INSERT INTO framerate    VALUES (304, 1, 'Original'), (304, 2, '23.976'), (304, 3, '24'), (304, 4, '25'), (304, 5, '29.97'), (304, 6, '30');
INSERT INTO videosize    VALUES (304, 1, '640x360'), (304, 2, '480x270'), (304, 3, '854x480'), (304, 4, '1280x720'), (304, 5, 'Original');
INSERT INTO audiocodec   VALUES (304, 1, 'aac'), (304, 2, 'mp3');
INSERT INTO audiobitrate VALUES (304, 1, '128'), (304, 2, '96'), (304, 3, '160');
INSERT INTO samplerate   VALUES (304, 1, '44100'), (304, 2, '22050');

INSERT INTO type VALUES (305, 3, 'OGV Theora Video (*.ogv)');
INSERT INTO videocodec   VALUES (305, 1, 'libtheora');
INSERT INTO videobitrate VALUES (305, 1, '1000'), (305, 2, '512'), (305, 3, '768'), (305, 4, '1500'), (305, 5, '2000');
INSERT INTO framerate    VALUES (305, 1, 'Original'), (305, 2, '23.976'), (305, 3, '24'), (305, 4, '25'), (305, 5, '29.97'), (305, 6, '30');
INSERT INTO videosize    VALUES (305, 1, '640x360'), (305, 2, '480x270'), (305, 3, '854x480'), (305, 4, '1280x720'), (305, 5, 'Original');
INSERT INTO audiocodec   VALUES (305, 1, 'ogg');
INSERT INTO audiobitrate VALUES (305, 1, '128'), (305, 2, '96'), (305, 3, '160'), (305, 4, '192');
INSERT INTO samplerate   VALUES (305, 1, '44100'), (305, 2, '48000');

INSERT INTO type VALUES (306, 3, 'HTML5 MP4 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (306, 1, 'x264');
INSERT INTO videobitrate VALUES (306, 1, '800'), (306, 2, '512'), (306, 3, '1000'), (306, 4, '1500'), (306, 5, '2000');
INSERT INTO framerate    VALUES (306, 1, 'Original'), (306, 2, '23.976'), (306, 3, '24'), (306, 4, '25'), (306, 5, '29.97'), (306, 6, '30');
INSERT INTO videosize    VALUES (306, 1, '640x360'), (306, 2, '480x270'), (306, 3, '854x480'), (306, 4, '1280x720'), (306, 5, 'Original');
INSERT INTO audiocodec   VALUES (306, 1, 'aac');
INSERT INTO audiobitrate VALUES (306, 1, '128'), (306, 2, '96'), (306, 3, '160');
INSERT INTO samplerate   VALUES (306, 1, '44100'), (306, 2, '48000');

INSERT INTO type VALUES (307, 3, 'YouTube HD Upload H264 (*.mp4)');
INSERT INTO videocodec   VALUES (307, 1, 'x264');
INSERT INTO videobitrate VALUES (307, 1, '5000'), (307, 2, '8000'), (307, 3, '10000');
INSERT INTO framerate    VALUES (307, 1, 'Original'), (307, 2, '23.976'), (307, 3, '24'), (307, 4, '25'), (307, 5, '29.97'), (307, 6, '30');
INSERT INTO videosize    VALUES (307, 1, '1280x720'), (307, 2, '1920x1080'), (307, 3, 'Original');
INSERT INTO audiocodec   VALUES (307, 1, 'aac');
INSERT INTO audiobitrate VALUES (307, 1, '192'), (307, 2, '128'), (307, 3, '256'), (307, 4, '320');
INSERT INTO samplerate   VALUES (307, 1, '48000'), (307, 2, '44100');

-- GIF holds no sound: no audio rows.
INSERT INTO type VALUES (308, 3, 'Animated GIF (*.gif)');
INSERT INTO videocodec   VALUES (308, 1, 'gif');
INSERT INTO framerate    VALUES (308, 1, '10'), (308, 2, '5'), (308, 3, '8'), (308, 4, '12'), (308, 5, '15'), (308, 6, '20'), (308, 7, '25');
INSERT INTO videosize    VALUES (308, 1, '320x240'), (308, 2, '160x120'), (308, 3, '240x180'), (308, 4, '480x360'), (308, 5, '640x480'), (308, 6, 'Original');

-- 4: Phones and Tablets

INSERT INTO type VALUES (401, 4, 'Android Phone H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (401, 1, 'x264');
INSERT INTO videobitrate VALUES (401, 1, '2000'), (401, 2, '1000'), (401, 3, '1500'), (401, 4, '2500'), (401, 5, '4000');
INSERT INTO framerate    VALUES (401, 1, 'Original'), (401, 2, '24'), (401, 3, '25'), (401, 4, '29.97'), (401, 5, '30');
INSERT INTO videosize    VALUES (401, 1, '1280x720'), (401, 2, '854x480'), (401, 3, '640x360'), (401, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (401, 1, 'aac');
INSERT INTO audiobitrate VALUES (401, 1, '128'), (401, 2, '96'), (401, 3, '160'), (401, 4, '192');
INSERT INTO samplerate   VALUES (401, 1, '44100'), (401, 2, '48000');

INSERT INTO type VALUES (402, 4, 'Android Tablet H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (402, 1, 'x264');
INSERT INTO videobitrate VALUES (402, 1, '4000'), (402, 2, '2000'), (402, 3, '2500'), (402, 4, '3000'), (402, 5, '5000');
INSERT INTO framerate    VALUES (402, 1, 'Original'), (402, 2, '24'), (402, 3, '25'), (402, 4, '29.97'), (402, 5, '30');
INSERT INTO videosize    VALUES (402, 1, '1920x1080'), (402, 2, '1280x800'), (402, 3, '1280x720');
INSERT INTO audiocodec   VALUES (402, 1, 'aac');
INSERT INTO audiobitrate VALUES (402, 1, '160'), (402, 2, '128'), (402, 3, '192');
INSERT INTO samplerate   VALUES (402, 1, '44100'), (402, 2, '48000');

INSERT INTO type VALUES (403, 4, 'iPhone H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (403, 1, 'x264');
INSERT INTO videobitrate VALUES (403, 1, '2000'), (403, 2, '1000'), (403, 3, '1500'), (403, 4, '2500'), (403, 5, '4000');
INSERT INTO framerate    VALUES (403, 1, 'Original'), (403, 2, '24'), (403, 3, '25'), (403, 4, '29.97'), (403, 5, '30');
INSERT INTO videosize    VALUES (403, 1, '1280x720'), (403, 2, '960x540'), (403, 3, '640x360'), (403, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (403, 1, 'aac');
INSERT INTO audiobitrate VALUES (403, 1, '128'), (403, 2, '96'), (403, 3, '160'), (403, 4, '192');
INSERT INTO samplerate   VALUES (403, 1, '44100'), (403, 2, '48000');

INSERT INTO type VALUES (404, 4, 'iPad H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (404, 1, 'x264');
INSERT INTO videobitrate VALUES (404, 1, '4000'), (404, 2, '2000'), (404, 3, '2500'), (404, 4, '3000'), (404, 5, '5000');
INSERT INTO framerate    VALUES (404, 1, 'Original'), (404, 2, '24'), (404, 3, '25'), (404, 4, '29.97'), (404, 5, '30');
INSERT INTO videosize    VALUES (404, 1, '1920x1080'), (404, 2, '1280x720'), (404, 3, '1024x768');
INSERT INTO audiocodec   VALUES (404, 1, 'aac');
INSERT INTO audiobitrate VALUES (404, 1, '160'), (404, 2, '128'), (404, 3, '192');
INSERT INTO samplerate   VALUES (404, 1, '44100'), (404, 2, '48000');

INSERT INTO type VALUES (405, 4, 'Small Screen Phone MP4 (*.mp4)');
INSERT INTO videocodec   VALUES (405, 1, 'x264'), (405, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (405, 1, '512'), (405, 2, '256'), (405, 3, '384'), (405, 4, '768');
INSERT INTO framerate    VALUES (405, 1, '25'), (405, 2, '15'), (405, 3, '24'), (405, 4, '29.97');
INSERT INTO videosize    VALUES (405, 1, '480x320'), (405, 2, '320x240'), (405, 3, '640x360');
INSERT INTO audiocodec   VALUES (405, 1, 'aac');
INSERT INTO audiobitrate VALUES (405, 1, '96'), (405, 2, '64'), (405, 3, '128');
INSERT INTO samplerate   VALUES (405, 1, '44100'), (405, 2, '48000');

-- The "h263" entry encodes H263+, which FFmpeg does not put into 3GP or
-- 3G2; phone 3GP files carry MPEG-4 video instead.
INSERT INTO type VALUES (406, 4, '3GP MPEG-4 Phone Video (*.3gp)');
INSERT INTO videocodec   VALUES (406, 1, 'mpeg4'), (406, 2, 'x264');
INSERT INTO videobitrate VALUES (406, 1, '256'), (406, 2, '128'), (406, 3, '192'), (406, 4, '384'), (406, 5, '512');
INSERT INTO framerate    VALUES (406, 1, '15'), (406, 2, '12'), (406, 3, '25'), (406, 4, '29.97');
INSERT INTO videosize    VALUES (406, 1, '176x144'), (406, 2, '320x240'), (406, 3, '352x288'), (406, 4, '128x96');
INSERT INTO audiocodec   VALUES (406, 1, 'aac');
INSERT INTO audiobitrate VALUES (406, 1, '64'), (406, 2, '32'), (406, 3, '48'), (406, 4, '96');
INSERT INTO samplerate   VALUES (406, 1, '22050'), (406, 2, '44100'), (406, 3, '16000');

INSERT INTO type VALUES (407, 4, '3G2 MPEG-4 Phone Video (*.3g2)');
INSERT INTO videocodec   VALUES (407, 1, 'mpeg4'), (407, 2, 'x264');
INSERT INTO videobitrate VALUES (407, 1, '256'), (407, 2, '128'), (407, 3, '192'), (407, 4, '384');
INSERT INTO framerate    VALUES (407, 1, '15'), (407, 2, '12'), (407, 3, '25'), (407, 4, '29.97');
INSERT INTO videosize    VALUES (407, 1, '176x144'), (407, 2, '320x240'), (407, 3, '128x96');
INSERT INTO audiocodec   VALUES (407, 1, 'aac');
INSERT INTO audiobitrate VALUES (407, 1, '64'), (407, 2, '32'), (407, 3, '48'), (407, 4, '96');
INSERT INTO samplerate   VALUES (407, 1, '22050'), (407, 2, '44100'), (407, 3, '16000');

-- 5: Consoles and Players

INSERT INTO type VALUES (501, 5, 'PSP H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (501, 1, 'x264');
INSERT INTO videobitrate VALUES (501, 1, '768'), (501, 2, '512'), (501, 3, '1000'), (501, 4, '1500');
INSERT INTO framerate    VALUES (501, 1, '29.97'), (501, 2, '25'), (501, 3, '23.976');
INSERT INTO videosize    VALUES (501, 1, '480x272'), (501, 2, '320x240'), (501, 3, '720x480');
INSERT INTO audiocodec   VALUES (501, 1, 'aac');
INSERT INTO audiobitrate VALUES (501, 1, '128'), (501, 2, '96'), (501, 3, '160');
INSERT INTO samplerate   VALUES (501, 1, '48000'), (501, 2, '44100');

INSERT INTO type VALUES (502, 5, 'PSP MPEG-4 Video (*.mp4)');
INSERT INTO videocodec   VALUES (502, 1, 'mpeg4');
INSERT INTO videobitrate VALUES (502, 1, '768'), (502, 2, '512'), (502, 3, '1000'), (502, 4, '1500');
INSERT INTO framerate    VALUES (502, 1, '29.97'), (502, 2, '25'), (502, 3, '23.976');
INSERT INTO videosize    VALUES (502, 1, '480x272'), (502, 2, '320x240'), (502, 3, '720x480');
INSERT INTO audiocodec   VALUES (502, 1, 'aac');
INSERT INTO audiobitrate VALUES (502, 1, '128'), (502, 2, '96'), (502, 3, '160');
INSERT INTO samplerate   VALUES (502, 1, '48000'), (502, 2, '44100');

INSERT INTO type VALUES (503, 5, 'PS3 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (503, 1, 'x264');
INSERT INTO videobitrate VALUES (503, 1, '5000'), (503, 2, '3000'), (503, 3, '4000'), (503, 4, '6000'), (503, 5, '8000');
INSERT INTO framerate    VALUES (503, 1, 'Original'), (503, 2, '23.976'), (503, 3, '24'), (503, 4, '25'), (503, 5, '29.97'), (503, 6, '30');
INSERT INTO videosize    VALUES (503, 1, '1920x1080'), (503, 2, '1280x720'), (503, 3, '720x480'), (503, 4, 'Original');
INSERT INTO audiocodec   VALUES (503, 1, 'aac'), (503, 2, 'ac3');
INSERT INTO audiobitrate VALUES (503, 1, '192'), (503, 2, '128'), (503, 3, '160'), (503, 4, '256');
INSERT INTO samplerate   VALUES (503, 1, '48000'), (503, 2, '44100');

INSERT INTO type VALUES (504, 5, 'Xbox 360 H264 Video (*.mp4)');
INSERT INTO videocodec   VALUES (504, 1, 'x264');
INSERT INTO videobitrate VALUES (504, 1, '4000'), (504, 2, '2500'), (504, 3, '3000'), (504, 4, '5000'), (504, 5, '6000');
INSERT INTO framerate    VALUES (504, 1, 'Original'), (504, 2, '23.976'), (504, 3, '24'), (504, 4, '25'), (504, 5, '29.97'), (504, 6, '30');
INSERT INTO videosize    VALUES (504, 1, '1280x720'), (504, 2, '1920x1080'), (504, 3, '720x480'), (504, 4, 'Original');
INSERT INTO audiocodec   VALUES (504, 1, 'aac');
INSERT INTO audiobitrate VALUES (504, 1, '160'), (504, 2, '128'), (504, 3, '192');
INSERT INTO samplerate   VALUES (504, 1, '48000'), (504, 2, '44100');

INSERT INTO type VALUES (505, 5, 'Xbox 360 WMV Video (*.wmv)');
INSERT INTO videocodec   VALUES (505, 1, 'wmv v9');
INSERT INTO videobitrate VALUES (505, 1, '3000'), (505, 2, '2000'), (505, 3, '2500'), (505, 4, '4000'), (505, 5, '5000');
INSERT INTO framerate    VALUES (505, 1, 'Original'), (505, 2, '23.976'), (505, 3, '24'), (505, 4, '25'), (505, 5, '29.97'), (505, 6, '30');
INSERT INTO videosize    VALUES (505, 1, '1280x720'), (505, 2, '720x480'), (505, 3, 'Original');
INSERT INTO audiocodec   VALUES (505, 1, 'wma 9.2');
INSERT INTO audiobitrate VALUES (505, 1, '160'), (505, 2, '128'), (505, 3, '192');
INSERT INTO samplerate   VALUES (505, 1, '48000'), (505, 2, '44100');

INSERT INTO type VALUES (506, 5, 'iPod Video H264 (*.m4v)');
INSERT INTO videocodec   VALUES (506, 1, 'x264'), (506, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (506, 1, '768'), (506, 2, '512'), (506, 3, '1000'), (506, 4, '1500');
INSERT INTO framerate    VALUES (506, 1, '29.97'), (506, 2, '25'), (506, 3, '23.976');
INSERT INTO videosize    VALUES (506, 1, '320x240'), (506, 2, '640x480');
INSERT INTO audiocodec   VALUES (506, 1, 'aac');
INSERT INTO audiobitrate VALUES (506, 1, '128'), (506, 2, '96'), (506, 3, '160');
INSERT INTO samplerate   VALUES (506, 1, '44100'), (506, 2, '48000');

INSERT INTO type VALUES (507, 5, 'Apple TV H264 Video (*.m4v)');
INSERT INTO videocodec   VALUES (507, 1, 'x264');
INSERT INTO videobitrate VALUES (507, 1, '4000'), (507, 2, '2500'), (507, 3, '3000'), (507, 4, '5000'), (507, 5, '6000');
INSERT INTO framerate    VALUES (507, 1, 'Original'), (507, 2, '23.976'), (507, 3, '24'), (507, 4, '25'), (507, 5, '29.97'), (507, 6, '30');
INSERT INTO videosize    VALUES (507, 1, '1280x720'), (507, 2, '1920x1080'), (507, 3, 'Original');
INSERT INTO audiocodec   VALUES (507, 1, 'aac'), (507, 2, 'ac3');
INSERT INTO audiobitrate VALUES (507, 1, '160'), (507, 2, '128'), (507, 3, '192'), (507, 4, '256');
INSERT INTO samplerate   VALUES (507, 1, '48000'), (507, 2, '44100');

INSERT INTO type VALUES (508, 5, 'DivX Home Player XviD (*.avi)');
INSERT INTO videocodec   VALUES (508, 1, 'xvid'), (508, 2, 'mpeg4');
INSERT INTO videobitrate VALUES (508, 1, '1500'), (508, 2, '1000'), (508, 3, '2000'), (508, 4, '2500'), (508, 5, '4000');
INSERT INTO framerate    VALUES (508, 1, '29.97'), (508, 2, '25'), (508, 3, '23.976'), (508, 4, '24'), (508, 5, '30');
INSERT INTO videosize    VALUES (508, 1, '720x480'), (508, 2, '720x576'), (508, 3, '640x480'), (508, 4, '1280x720');
INSERT INTO audiocodec   VALUES (508, 1, 'mp3'), (508, 2, 'ac3');
INSERT INTO audiobitrate VALUES (508, 1, '128'), (508, 2, '160'), (508, 3, '192'), (508, 4, '256');
INSERT INTO samplerate   VALUES (508, 1, '44100'), (508, 2, '48000');

INSERT INTO type VALUES (509, 5, 'Smart TV H264 Video (*.mkv)');
INSERT INTO videocodec   VALUES (509, 1, 'x264');
INSERT INTO videobitrate VALUES (509, 1, '6000'), (509, 2, '4000'), (509, 3, '5000'), (509, 4, '8000');
INSERT INTO framerate    VALUES (509, 1, 'Original'), (509, 2, '23.976'), (509, 3, '24'), (509, 4, '25'), (509, 5, '29.97'), (509, 6, '30');
INSERT INTO videosize    VALUES (509, 1, '1920x1080'), (509, 2, '1280x720'), (509, 3, 'Original');
INSERT INTO audiocodec   VALUES (509, 1, 'aac'), (509, 2, 'ac3');
INSERT INTO audiobitrate VALUES (509, 1, '192'), (509, 2, '128'), (509, 3, '256'), (509, 4, '384');
INSERT INTO samplerate   VALUES (509, 1, '48000'), (509, 2, '44100');

-- 6: DVD and VCD

-- For *.vob FFmpeg writes an MPEG-2 program stream, which DVD authoring
-- tools take; *.mpg would get an MPEG-1 system stream.
INSERT INTO type VALUES (601, 6, 'DVD NTSC MPEG-2 Video (*.vob)');
INSERT INTO videocodec   VALUES (601, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (601, 1, '6000'), (601, 2, '4000'), (601, 3, '5000'), (601, 4, '8000'), (601, 5, '9000');
INSERT INTO framerate    VALUES (601, 1, '29.97');
INSERT INTO videosize    VALUES (601, 1, '720x480'), (601, 2, '704x480'), (601, 3, '352x480');
INSERT INTO audiocodec   VALUES (601, 1, 'ac3'), (601, 2, 'mp2');
INSERT INTO audiobitrate VALUES (601, 1, '192'), (601, 2, '128'), (601, 3, '224'), (601, 4, '256'), (601, 5, '384'), (601, 6, '448');
INSERT INTO samplerate   VALUES (601, 1, '48000');

INSERT INTO type VALUES (602, 6, 'DVD PAL MPEG-2 Video (*.vob)');
INSERT INTO videocodec   VALUES (602, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (602, 1, '6000'), (602, 2, '4000'), (602, 3, '5000'), (602, 4, '8000'), (602, 5, '9000');
INSERT INTO framerate    VALUES (602, 1, '25');
INSERT INTO videosize    VALUES (602, 1, '720x576'), (602, 2, '704x576'), (602, 3, '352x576');
INSERT INTO audiocodec   VALUES (602, 1, 'ac3'), (602, 2, 'mp2');
INSERT INTO audiobitrate VALUES (602, 1, '192'), (602, 2, '128'), (602, 3, '224'), (602, 4, '256'), (602, 5, '384'), (602, 6, '448');
INSERT INTO samplerate   VALUES (602, 1, '48000');

INSERT INTO type VALUES (603, 6, 'VCD NTSC MPEG-1 Video (*.mpg)');
INSERT INTO videocodec   VALUES (603, 1, 'mpeg1');
INSERT INTO videobitrate VALUES (603, 1, '1150');
INSERT INTO framerate    VALUES (603, 1, '29.97');
INSERT INTO videosize    VALUES (603, 1, '352x240');
INSERT INTO audiocodec   VALUES (603, 1, 'mp2');
INSERT INTO audiobitrate VALUES (603, 1, '224');
INSERT INTO samplerate   VALUES (603, 1, '44100');

INSERT INTO type VALUES (604, 6, 'VCD PAL MPEG-1 Video (*.mpg)');
INSERT INTO videocodec   VALUES (604, 1, 'mpeg1');
INSERT INTO videobitrate VALUES (604, 1, '1150');
INSERT INTO framerate    VALUES (604, 1, '25');
INSERT INTO videosize    VALUES (604, 1, '352x288');
INSERT INTO audiocodec   VALUES (604, 1, 'mp2');
INSERT INTO audiobitrate VALUES (604, 1, '224');
INSERT INTO samplerate   VALUES (604, 1, '44100');

INSERT INTO type VALUES (605, 6, 'SVCD NTSC MPEG-2 Video (*.mpg)');
INSERT INTO videocodec   VALUES (605, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (605, 1, '2500'), (605, 2, '2000'), (605, 3, '2200');
INSERT INTO framerate    VALUES (605, 1, '29.97');
INSERT INTO videosize    VALUES (605, 1, '480x480');
INSERT INTO audiocodec   VALUES (605, 1, 'mp2');
INSERT INTO audiobitrate VALUES (605, 1, '224'), (605, 2, '128'), (605, 3, '192'), (605, 4, '256');
INSERT INTO samplerate   VALUES (605, 1, '44100');

INSERT INTO type VALUES (606, 6, 'SVCD PAL MPEG-2 Video (*.mpg)');
INSERT INTO videocodec   VALUES (606, 1, 'mpeg2');
INSERT INTO videobitrate VALUES (606, 1, '2500'), (606, 2, '2000'), (606, 3, '2200');
INSERT INTO framerate    VALUES (606, 1, '25');
INSERT INTO videosize    VALUES (606, 1, '480x576');
INSERT INTO audiocodec   VALUES (606, 1, 'mp2');
INSERT INTO audiobitrate VALUES (606, 1, '224'), (606, 2, '128'), (606, 3, '192'), (606, 4, '256');
INSERT INTO samplerate   VALUES (606, 1, '44100');

-- 7: Editing and Archiving

-- Lossless video wants lossless sound. None of the audio codec entries
-- gives 16-bit PCM in AVI, so these profiles use MKV and MOV.
INSERT INTO type VALUES (701, 7, 'HuffYUV Lossless MKV (*.mkv)');
INSERT INTO videocodec   VALUES (701, 1, 'huffyuv');
INSERT INTO framerate    VALUES (701, 1, 'Original'), (701, 2, '23.976'), (701, 3, '24'), (701, 4, '25'), (701, 5, '29.97'), (701, 6, '30');
INSERT INTO videosize    VALUES (701, 1, 'Original'), (701, 2, '640x480'), (701, 3, '1280x720'), (701, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (701, 1, 'flac'), (701, 2, 'pcm_s16be');
INSERT INTO samplerate   VALUES (701, 1, 'Original'), (701, 2, '44100'), (701, 3, '48000');

INSERT INTO type VALUES (702, 7, 'HuffYUV Lossless MOV (*.mov)');
INSERT INTO videocodec   VALUES (702, 1, 'huffyuv');
INSERT INTO framerate    VALUES (702, 1, 'Original'), (702, 2, '23.976'), (702, 3, '24'), (702, 4, '25'), (702, 5, '29.97'), (702, 6, '30');
INSERT INTO videosize    VALUES (702, 1, 'Original'), (702, 2, '640x480'), (702, 3, '1280x720'), (702, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (702, 1, 'pcm_s16be'), (702, 2, 'alac');
INSERT INTO samplerate   VALUES (702, 1, 'Original'), (702, 2, '44100'), (702, 3, '48000');

INSERT INTO type VALUES (703, 7, 'FFV1 Lossless Archive MKV (*.mkv)');
INSERT INTO videocodec   VALUES (703, 1, 'ffv1');
INSERT INTO framerate    VALUES (703, 1, 'Original'), (703, 2, '23.976'), (703, 3, '24'), (703, 4, '25'), (703, 5, '29.97'), (703, 6, '30');
INSERT INTO videosize    VALUES (703, 1, 'Original'), (703, 2, '640x480'), (703, 3, '1280x720'), (703, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (703, 1, 'flac'), (703, 2, 'pcm_s16be');
INSERT INTO samplerate   VALUES (703, 1, 'Original'), (703, 2, '44100'), (703, 3, '48000');

INSERT INTO type VALUES (704, 7, 'MJPEG Editing MOV (*.mov)');
INSERT INTO videocodec   VALUES (704, 1, 'mjpeg');
INSERT INTO videobitrate VALUES (704, 1, '15000'), (704, 2, '8000'), (704, 3, '10000'), (704, 4, '20000'), (704, 5, '30000');
INSERT INTO framerate    VALUES (704, 1, 'Original'), (704, 2, '23.976'), (704, 3, '24'), (704, 4, '25'), (704, 5, '29.97'), (704, 6, '30');
INSERT INTO videosize    VALUES (704, 1, 'Original'), (704, 2, '640x480'), (704, 3, '1280x720'), (704, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (704, 1, 'pcm_s16be'), (704, 2, 'alac'), (704, 3, 'aac');
INSERT INTO audiobitrate VALUES (704, 1, '192'), (704, 2, '128'), (704, 3, '256');
INSERT INTO samplerate   VALUES (704, 1, '48000'), (704, 2, '44100');

INSERT INTO type VALUES (705, 7, 'MJPEG AVI Video (*.avi)');
INSERT INTO videocodec   VALUES (705, 1, 'mjpeg');
INSERT INTO videobitrate VALUES (705, 1, '15000'), (705, 2, '8000'), (705, 3, '10000'), (705, 4, '20000'), (705, 5, '30000');
INSERT INTO framerate    VALUES (705, 1, 'Original'), (705, 2, '23.976'), (705, 3, '24'), (705, 4, '25'), (705, 5, '29.97'), (705, 6, '30');
INSERT INTO videosize    VALUES (705, 1, 'Original'), (705, 2, '640x480'), (705, 3, '1280x720'), (705, 4, '1920x1080');
INSERT INTO audiocodec   VALUES (705, 1, 'mp3'), (705, 2, 'ac3');
INSERT INTO audiobitrate VALUES (705, 1, '192'), (705, 2, '128'), (705, 3, '256'), (705, 4, '320');
INSERT INTO samplerate   VALUES (705, 1, '48000'), (705, 2, '44100');

INSERT INTO type VALUES (706, 7, 'H264 High Quality Archive MKV (*.mkv)');
INSERT INTO videocodec   VALUES (706, 1, 'x264');
INSERT INTO videobitrate VALUES (706, 1, '8000'), (706, 2, '5000'), (706, 3, '12000'), (706, 4, '16000'), (706, 5, '20000');
INSERT INTO framerate    VALUES (706, 1, 'Original'), (706, 2, '23.976'), (706, 3, '24'), (706, 4, '25'), (706, 5, '29.97'), (706, 6, '30');
INSERT INTO videosize    VALUES (706, 1, 'Original'), (706, 2, '1280x720'), (706, 3, '1920x1080');
INSERT INTO audiocodec   VALUES (706, 1, 'flac'), (706, 2, 'aac'), (706, 3, 'ac3');
INSERT INTO audiobitrate VALUES (706, 1, '256'), (706, 2, '192'), (706, 3, '320');
INSERT INTO samplerate   VALUES (706, 1, 'Original'), (706, 2, '48000'), (706, 3, '44100');

-- 8: Audio Only

INSERT INTO type VALUES (801, 8, 'MP3 Audio (*.mp3)');
INSERT INTO audiocodec   VALUES (801, 1, 'mp3');
INSERT INTO audiobitrate VALUES (801, 1, '192'), (801, 2, '128'), (801, 3, '160'), (801, 4, '256'), (801, 5, '320'), (801, 6, '96'), (801, 7, '64');
INSERT INTO samplerate   VALUES (801, 1, '44100'), (801, 2, '48000'), (801, 3, '32000'), (801, 4, '22050');

INSERT INTO type VALUES (802, 8, 'AAC Audio (*.m4a)');
INSERT INTO audiocodec   VALUES (802, 1, 'aac');
INSERT INTO audiobitrate VALUES (802, 1, '160'), (802, 2, '96'), (802, 3, '128'), (802, 4, '192'), (802, 5, '256');
INSERT INTO samplerate   VALUES (802, 1, '44100'), (802, 2, '48000');

INSERT INTO type VALUES (803, 8, 'AAC ADTS Audio (*.aac)');
INSERT INTO audiocodec   VALUES (803, 1, 'aac');
INSERT INTO audiobitrate VALUES (803, 1, '160'), (803, 2, '96'), (803, 3, '128'), (803, 4, '192'), (803, 5, '256');
INSERT INTO samplerate   VALUES (803, 1, '44100'), (803, 2, '48000');

INSERT INTO type VALUES (804, 8, 'OGG Vorbis Audio (*.ogg)');
INSERT INTO audiocodec   VALUES (804, 1, 'ogg');
INSERT INTO audiobitrate VALUES (804, 1, '160'), (804, 2, '96'), (804, 3, '128'), (804, 4, '192'), (804, 5, '256');
INSERT INTO samplerate   VALUES (804, 1, '44100'), (804, 2, '48000');

INSERT INTO type VALUES (805, 8, 'FLAC Lossless Audio (*.flac)');
INSERT INTO audiocodec   VALUES (805, 1, 'flac');
INSERT INTO samplerate   VALUES (805, 1, 'Original'), (805, 2, '44100'), (805, 3, '48000'), (805, 4, '96000');

INSERT INTO type VALUES (806, 8, 'ALAC Apple Lossless Audio (*.m4a)');
INSERT INTO audiocodec   VALUES (806, 1, 'alac');
INSERT INTO samplerate   VALUES (806, 1, 'Original'), (806, 2, '44100'), (806, 3, '48000'), (806, 4, '96000');

-- "Original" leaves the audio codec to the WAV writer, which makes
-- 16-bit PCM; "pcm" is the smaller, lossy A-law.
INSERT INTO type VALUES (807, 8, 'WAV Audio (*.wav)');
INSERT INTO audiocodec   VALUES (807, 1, 'Original'), (807, 2, 'pcm');
INSERT INTO samplerate   VALUES (807, 1, 'Original'), (807, 2, '44100'), (807, 3, '48000'), (807, 4, '22050');

INSERT INTO type VALUES (808, 8, 'AIFF Audio (*.aiff)');
INSERT INTO audiocodec   VALUES (808, 1, 'pcm_s16be');
INSERT INTO samplerate   VALUES (808, 1, 'Original'), (808, 2, '44100'), (808, 3, '48000'), (808, 4, '22050');

INSERT INTO type VALUES (809, 8, 'AC3 Dolby Digital Audio (*.ac3)');
INSERT INTO audiocodec   VALUES (809, 1, 'ac3');
INSERT INTO audiobitrate VALUES (809, 1, '192'), (809, 2, '128'), (809, 3, '224'), (809, 4, '256'), (809, 5, '384'), (809, 6, '448'), (809, 7, '640');
INSERT INTO samplerate   VALUES (809, 1, '48000'), (809, 2, '44100'), (809, 3, '32000');

INSERT INTO type VALUES (810, 8, 'WMA Windows Media Audio (*.wma)');
INSERT INTO audiocodec   VALUES (810, 1, 'wma 9.2');
INSERT INTO audiobitrate VALUES (810, 1, '128'), (810, 2, '64'), (810, 3, '96'), (810, 4, '160'), (810, 5, '192');
INSERT INTO samplerate   VALUES (810, 1, '44100'), (810, 2, '48000');

INSERT INTO type VALUES (811, 8, 'MP2 Audio (*.mp2)');
INSERT INTO audiocodec   VALUES (811, 1, 'mp2');
INSERT INTO audiobitrate VALUES (811, 1, '224'), (811, 2, '128'), (811, 3, '160'), (811, 4, '192'), (811, 5, '256'), (811, 6, '320'), (811, 7, '384');
INSERT INTO samplerate   VALUES (811, 1, '44100'), (811, 2, '48000'), (811, 3, '32000');

INSERT INTO type VALUES (812, 8, 'MKA Matroska Audio (*.mka)');
INSERT INTO audiocodec   VALUES (812, 1, 'ogg'), (812, 2, 'aac'), (812, 3, 'ac3'), (812, 4, 'mp3'), (812, 5, 'flac');
INSERT INTO audiobitrate VALUES (812, 1, '160'), (812, 2, '128'), (812, 3, '192'), (812, 4, '256');
INSERT INTO samplerate   VALUES (812, 1, '44100'), (812, 2, '48000');

INSERT INTO type VALUES (813, 8, 'M4B Audiobook AAC (*.m4b)');
INSERT INTO audiocodec   VALUES (813, 1, 'aac');
INSERT INTO audiobitrate VALUES (813, 1, '64'), (813, 2, '48'), (813, 3, '96'), (813, 4, '128');
INSERT INTO samplerate   VALUES (813, 1, '44100'), (813, 2, '22050');

COMMIT;
