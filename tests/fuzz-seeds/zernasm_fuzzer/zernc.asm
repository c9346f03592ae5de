 MOVE Acc, #-1
 MOVE @DP[1].w++, BP[OFFS].l
 FJUMP there
 ORG 12345h
there: MB1
 BIC #(3<<4)|1
 END
