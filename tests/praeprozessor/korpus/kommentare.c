/* Comments and splices */
a /* block */ b // line
c /* multi
     line */ d
#define LANG eins \
  zwei \
  drei
LANG
e/**/f
g // comment with \
  continued line
h
"/* not a comment */" i
'/' j
#if 1 /* comment in a directive */ // and more
k
#endif /* trailing
  comment across lines */
l
wo\
rt
