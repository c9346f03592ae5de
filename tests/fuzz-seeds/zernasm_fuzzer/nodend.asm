;!DEBUG!
$MESSAGE("hello")
 JUMP fwd
 MOVE DP[0], #fwd
 DW $+2, 1
