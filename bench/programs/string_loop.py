s = ""
x = "x"
i = 0
while i < 100000:
    s = f"{s}{x}"
    if i % 200 == 0:
        s = ""
    i = i + 1
