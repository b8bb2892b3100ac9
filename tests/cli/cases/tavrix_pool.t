# The output file pool: few descriptors, many files, and its limits.

=== with 20 or 12 descriptors, 40 files hold exactly the lines of an unlimited run
$ for round in 1 2 3; do for i in $(seq 1 40); do printf 'h%d-%d ::%x :%x:\n' $round $i $round $i; done; done > hosts
$ mkdir free few fewer
$ (cd free && tavrix -w -b 64 -S -p 2001:db8::/48 ../hosts)
$ (cd few && ulimit -Sn 20 && tavrix -w -b 64 -S -p 2001:db8::/48 ../hosts)
$ (cd fewer && ulimit -Sn 12 && tavrix -w -b 64 -S -p 2001:db8::/48 ../hosts)
$ ls free | wc -l; diff -r free few && diff -r free fewer && echo same
$ cat free/zkr.0028
--- stdout
|41
|same
|1.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h1-40.example.com. ; subnetid: 0028
|2.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h2-40.example.com. ; subnetid: 0028
|3.0.0.0.0.0.0.0.0.0.0.0.0.0.0.0          IN  PTR	h3-40.example.com. ; subnetid: 0028

=== descriptors inherited from the caller count against the limit: the pool makes room all the same
$ for round in 1 2; do for i in $(seq 1 40); do printf 'h%d-%d ::%x :%x:\n' $round $i $round $i; done; done > hosts
$ mkdir free few
$ (cd free && tavrix -w -b 64 -S -p 2001:db8::/48 ../hosts)
$ (cd few && ulimit -Sn 20 && exec 3<../hosts 4<../hosts 5<../hosts 6<../hosts 7<../hosts 8<../hosts 9<../hosts && tavrix -w -b 64 -S -p 2001:db8::/48 ../hosts)
$ diff -r free few && echo same
--- stdout
|same

=== the 129th file of a run ends it with status 3, and the 128 files written before go with it
$ for i in $(seq 1 129); do printf 'h%d ::1 :%x:\n' $i $i; done > hosts
$ tavrix -w -r -b 64 -p 2001:db8::/48 hosts; s=$?; ls -A; exit $s
--- stdout
|hosts
--- stderr
|Maximum no of files (128) reached !
--- status 3

=== 128 files are fine
$ for i in $(seq 1 128); do printf 'h%d ::1 :%x:\n' $i $i; done > hosts
$ tavrix -w -r -b 64 -p 2001:db8::/48 hosts; s=$?; ls | wc -l; exit $s
--- stdout
|129

=== when all 160 names are taken the run ends with status 3 and leaves no file
$ for i in $(seq 1 161); do printf 'h%d ::1 :%x:\n' $i $i; done > hosts
$ ulimit -Sn 20; tavrix -w -r -b 64 -p 2001:db8::/48 hosts; s=$?; ls -A; exit $s
--- stdout
|hosts
--- stderr
|Maximum no of file names (160) reached !
--- status 3
