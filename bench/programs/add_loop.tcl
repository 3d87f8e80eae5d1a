set t 0
set i 0
while {$i < 1000000} {
  set t [expr {$t + $i}]
  set i [expr {$i + 1}]
}
