t=0
i=0
while (( i < 1000000 )); do
  t=$(( t + i ))
  i=$(( i + 1 ))
done
