# serialinc -u at a fixed time. The date and the time stamp come from the
# clock: faketime fixes it. (The same rules are unit-tested with an injected
# clock; faketime's preloaded library does not mix with a sanitizer's
# runtime, so sanitizer builds leave this file out.)

=== -u on dates and time stamps at a fixed time
$ faketime -f '2026-03-04 12:00:00' serialinc -u db.old db.today db.future db.last db.stamp
--- file db.old
|@ IN SOA ns. hm. 2024010105 1h 15m 1w 1h
--- file db.today
|@ IN SOA ns. hm. 2026030405 1h 15m 1w 1h
--- file db.future
|@ IN SOA ns. hm. 2027010100 1h 15m 1w 1h
--- file db.last
|@ IN SOA ns. hm. 2026030499 1h 15m 1w 1h
--- file db.stamp
|@ IN SOA ns. hm. 1700000000 1h 15m 1w 1h
--- expect-file db.old
|@ IN SOA ns. hm. 2026030401 1h 15m 1w 1h
--- expect-file db.today
|@ IN SOA ns. hm. 2026030406 1h 15m 1w 1h
--- expect-file db.future
|@ IN SOA ns. hm. 2027010101 1h 15m 1w 1h
--- expect-file db.last
|@ IN SOA ns. hm. 2026030500 1h 15m 1w 1h
--- expect-file db.stamp
|@ IN SOA ns. hm. 1772625601 1h 15m 1w 1h
