my $s = "";
my $x = "x";
my $i = 0;
while ($i < 100000) {
  $s = "$s$x";
  if ($i % 200 == 0) { $s = ""; }
  $i = $i + 1;
}
