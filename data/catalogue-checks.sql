-- Rules the catalogue must keep for the program to read it right. Every row
-- this prints is a fault; the build fails on any.

-- The output extension is cut out of the profile name from its first "." to
-- the ")" near its end: the name ends with " (*.ext)" and holds no other
-- ".", "(" or ")".
SELECT 'profile ' || ID || ': name must end in " (*.ext)" with no other ".", "(" or ")": ' || typename
  FROM type
 WHERE typename NOT GLOB '* ([*].[a-z0-9]*)'
    OR substr(typename, instr(typename, '(*.') + 3, length(typename) - instr(typename, '(*.') - 3)
       GLOB '*[^a-z0-9]*'
    OR length(typename) - length(replace(replace(replace(typename, '.', ''), '(', ''), ')', '')) <> 3;

-- Ids travel as whole numbers above 0; a profile id in at most four digits.
SELECT 'category id out of range: ' || ID FROM bigclass WHERE ID < 1;
SELECT 'profile id out of range: ' || ID FROM type WHERE ID < 1 OR ID > 9999;

-- The profile list numbers its entries in three digits.
SELECT 'more than 999 profiles: ' || count(*) FROM type HAVING count(*) > 999;

SELECT 'profile ' || ID || ' belongs to no category ' || classid
  FROM type WHERE classid NOT IN (SELECT ID FROM bigclass);

SELECT 'choice rows of profile ' || typeid || ' in ' || tab || ' belong to no profile'
  FROM (SELECT 'videocodec' AS tab, typeid FROM videocodec
        UNION SELECT 'videobitrate', typeid FROM videobitrate
        UNION SELECT 'framerate', typeid FROM framerate
        UNION SELECT 'videosize', typeid FROM videosize
        UNION SELECT 'audiocodec', typeid FROM audiocodec
        UNION SELECT 'audiobitrate', typeid FROM audiobitrate
        UNION SELECT 'samplerate', typeid FROM samplerate)
 WHERE typeid NOT IN (SELECT ID FROM type);

-- "N/A" is what the program shows for a missing row; stored, it would be
-- taken for one.
SELECT 'profile ' || typeid || ': "N/A" stored as a choice in ' || tab
  FROM (SELECT 'videocodec' AS tab, typeid, videocodec AS v FROM videocodec
        UNION ALL SELECT 'videobitrate', typeid, videobitrate FROM videobitrate
        UNION ALL SELECT 'framerate', typeid, framerate FROM framerate
        UNION ALL SELECT 'videosize', typeid, videosize FROM videosize
        UNION ALL SELECT 'audiocodec', typeid, audiocodec FROM audiocodec
        UNION ALL SELECT 'audiobitrate', typeid, audiobitrate FROM audiobitrate
        UNION ALL SELECT 'samplerate', typeid, samplerate FROM samplerate)
 WHERE trim(v) = 'N/A';

-- Values go into the command line as they are: a size is WIDTHxHEIGHT in even
-- numbers (most encoders refuse odd ones), rates are decimal numbers.
SELECT 'profile ' || typeid || ': bad video size ' || quote(videosize)
  FROM videosize
 WHERE videosize <> 'Original'
   AND (videosize NOT GLOB '[1-9]*x[1-9]*' OR videosize GLOB '*[^0-9x]*'
        OR videosize GLOB '*x*x*'
        OR CAST(substr(videosize, 1, instr(videosize, 'x') - 1) AS integer) % 2 <> 0
        OR CAST(substr(videosize, instr(videosize, 'x') + 1) AS integer) % 2 <> 0);

SELECT 'profile ' || typeid || ': bad number in ' || tab || ' ' || quote(v)
  FROM (SELECT 'videobitrate' AS tab, typeid, videobitrate AS v FROM videobitrate
        UNION ALL SELECT 'framerate', typeid, framerate FROM framerate
        UNION ALL SELECT 'audiobitrate', typeid, audiobitrate FROM audiobitrate
        UNION ALL SELECT 'samplerate', typeid, samplerate FROM samplerate)
 WHERE v <> 'Original'
   AND (v NOT GLOB '[0-9]*' OR v GLOB '*[^0-9.]*' OR v GLOB '*.*.*' OR v GLOB '*.');
