 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 JUMP far
 ORG 1000h
 JUMP far
far: NOP
 ORG 2000h
L0: JUMP L1
L1: JUMP L2
L2: JUMP L3
L3: JUMP L4
L4: JUMP L5
L5: JUMP L6
L6: JUMP L7
L7: JUMP L8
L8: JUMP L9
L9: JUMP L10
L10: JUMP L11
L11: JUMP L12
L12: JUMP L13
L13: JUMP L14
L14: JUMP L15
L15: JUMP L16
L16: JUMP L17
L17: JUMP L18
L18: JUMP L19
L19: JUMP L20
L20: JUMP L21
L21: JUMP L22
L22: JUMP L23
L23: JUMP L24
L24: JUMP L25
L25: JUMP L26
L26: JUMP L27
L27: JUMP L28
L28: JUMP L29
L29: JUMP L30
L30: JUMP L31
L31: JUMP L32
L32: JUMP L33
L33: JUMP L34
L34: JUMP L35
L35: JUMP L36
L36: JUMP L37
L37: JUMP L38
L38: JUMP L39
L39: JUMP L40
L40: JUMP L41
L41: JUMP L42
L42: JUMP L43
L43: JUMP L44
L44: JUMP L45
L45: JUMP L46
L46: JUMP L47
L47: JUMP L48
L48: JUMP L49
L49: JUMP L50
L50: JUMP L51
L51: JUMP L52
L52: JUMP L53
L53: JUMP L54
L54: JUMP L55
L55: JUMP L56
L56: JUMP L57
L57: JUMP L58
L58: JUMP L59
L59: JUMP L60
L60: END
