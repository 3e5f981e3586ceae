[playlist]
numberofentries=3
file1=http://s1.example.net:8000/
title1=(#1 - 12/500) Jazz Radio
length1=-1
file2=Music\b.wma
title2=Bee
length2=-1
file3=c.mp3
length3=183
version=2
