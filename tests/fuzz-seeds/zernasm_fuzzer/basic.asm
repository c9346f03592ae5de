start: MOVE A[3], #1234h
 MOVE Acc, #12h
 ADD #5
.loop: JUMP .loop
 DJNZ LC[1], start
 LJUMP start
 SEGMENT DATA
buf: DB "AB", 1
 DW 1234h
 DL 12345678h
 SEGMENT CODE
 JUMP far
 ORG 200h
far: NOP
 END
