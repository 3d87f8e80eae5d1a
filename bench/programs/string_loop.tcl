set s ""
set x "x"
set i 0
while {$i < 100000} {
  set s "$s$x"
  if {$i % 200 == 0} { set s "" }
  set i [expr {$i + 1}]
}
