my $t = 0;
my $i = 0;
while ($i < 1000000) {
  $t = $t + $i;
  $i = $i + 1;
}
