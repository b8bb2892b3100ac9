# serialinc on files it cannot or must not change: every failure leaves the
# file as it was, every success changes the serial field alone.

=== print mode on a full device fails and says why
$ serialinc db 2>&1 >/dev/full | sed 's|^[^ ]*serialinc: |serialinc: |' >&2; exit ${PIPESTATUS[0]}
--- file db
|@ IN SOA ns. hm. (
|  2024010101 ; serial
|  3600 )
--- stderr
|serialinc: error on writing standard output: No space left on device
--- status 2

=== a folder and an empty file fail in both modes
$ mkdir folder; : > empty
$ serialinc -u folder empty; echo "status $?"
$ serialinc folder empty; echo "status $?"
$ ls -A folder; wc -c < empty
--- stdout
|status 2
|status 2
|0
--- stderr
|Can not increment serial number in folder
|error -1:  couldn't open zone file for modifying
|Can not increment serial number in empty
|error -2:  unexpected end of file
|couldn't read serial number from file folder
|couldn't read serial number from file empty

=== an SOA record on the last line without a line break is not touched
$ serialinc -u db.paren db.line
--- file db.paren
|@ IN SOA ns. hm. (
|\ no newline
--- file db.line
|@ IN SOA ns. hm. 2024010101 3600 900 604800 86400
|\ no newline
--- expect-file db.paren
|@ IN SOA ns. hm. (
|\ no newline
--- expect-file db.line
|@ IN SOA ns. hm. 2024010101 3600 900 604800 86400
|\ no newline
--- stderr
|Can not increment serial number in db.paren
|error -2:  unexpected end of file
|Can not increment serial number in db.line
|error -2:  unexpected end of file
--- status 2

=== a serial field of 9 characters is refused, one of 10 is rewritten
$ serialinc -u db.nine db.ten db.tenline
--- file db.nine
|@ IN SOA ns. hm. (
| 12345678 )
--- file db.ten
|@ IN SOA ns. hm. (
| 123456789 )
--- file db.tenline
|@ IN SOA ns. hm. 12345678 
--- expect-file db.nine
|@ IN SOA ns. hm. (
| 12345678 )
--- expect-file db.ten
|@ IN SOA ns. hm. (
| 123456790 )
--- expect-file db.tenline
|@ IN SOA ns. hm. 12345679  
|\ no newline
--- stderr
|Can not increment serial number in db.nine
|error -4:  not enough space left for serialno
--- status 2

=== lines of 4094 to 8191 characters before the SOA record: the serial and nothing else changes
$ for n in 4094 4095 4096 8191; do { printf ';%*s\n' $((n - 1)) '' | tr ' ' x; cat soa; } > db.$n; done
$ serialinc db.4095
$ serialinc -u db.4094 db.4095 db.4096 db.8191
$ for n in 4094 4095 4096 8191; do wc -c < db.$n; tail -n +2 db.$n | cmp - soa.new && echo same; done
--- file soa
|@ IN SOA ns. hm. (
|        1000000041 ; serial
|        3600 )
--- file soa.new
|@ IN SOA ns. hm. (
|        1000000042 ; serial
|        3600 )
--- stdout
|db.4095                       	1000000041
|4157
|same
|4158
|same
|4159
|same
|8254
|same

=== -u refuses a FIFO, a device and a folder at once, without reading from them
$ mkfifo fifo; mkdir dir
$ timeout 10 serialinc -u fifo /dev/null dir; echo "status $?"
--- stdout
|status 2
--- stderr
|Can not increment serial number in fifo
|error -1:  couldn't open zone file for modifying
|Can not increment serial number in /dev/null
|error -1:  couldn't open zone file for modifying
|Can not increment serial number in dir
|error -1:  couldn't open zone file for modifying
