s=""
x="x"
i=0
while (( i < 100000 )); do
  s="$s$x"
  if (( i % 200 == 0 )); then s=""; fi
  i=$(( i + 1 ))
done
