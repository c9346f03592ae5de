%{
// One call of yyparse parses exactly one source line: the start rule accepts
// after the line end, so the next line's first token is never read.
#include <alloca.h>
#include <cstring>

#include "AsmState.h"
#include "Directives.h"
#include "Encoder.h"
#include "Operands.h"
#include "Reporting.h"
#include "Templates.h"
#include "TokenCodes.h"

using namespace zernasm;

// Stack growth uses alloca, so an early end of the run leaks nothing.
#define YYSTACK_USE_ALLOCA 1
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000

static void yyerror(const char* message);
static int ScanToken();
#define yylex ScanToken
%}

%define api.value.type {int32_t}
%define parse.trace
%expect 0

%token TOKEN_END 257 TOKEN_NUMBER 258 TOKEN_CHARSTRING 259 TOKEN_COMMA 260 TOKEN_NEWLINE 261
%token TOKEN_ORG 262 TOKEN_SEGMENT 263 TOKEN_SEGMENTTYPE 264 TOKEN_DB 265 TOKEN_DW 266 TOKEN_DL 267
%token TOKEN_DT 268 TOKEN_EQUATE 269 MNEMONIC_BEGIN 270 TOKEN_AND 271 TOKEN_OR 272 TOKEN_XOR 273
%token TOKEN_ADD 274 TOKEN_SUB 275 TOKEN_ADDC 276 TOKEN_SUBB 277 TOKEN_JUMP 278 TOKEN_JUMPZ 279
%token TOKEN_JUMPE 280 TOKEN_JUMPC 281 TOKEN_JUMPNZ 282 TOKEN_JUMPNE 283 TOKEN_JUMPNC 284
%token TOKEN_JUMPS 285 TOKEN_DJNZ 286 TOKEN_CALL 287 TOKEN_RET 288 TOKEN_RETI 289 TOKEN_PUSH 290
%token TOKEN_POP 291 TOKEN_POPI 292 TOKEN_CPL 293 TOKEN_SLA 294 TOKEN_SLA2 295 TOKEN_SLA4 296
%token TOKEN_RL 297 TOKEN_RLC 298 TOKEN_XCH 299 TOKEN_XCHN 300 TOKEN_NEG 301 TOKEN_SR 302 TOKEN_RR 303
%token TOKEN_RRC 304 TOKEN_SRA 305 TOKEN_SRA2 306 TOKEN_SRA4 307 TOKEN_MOVE 308 TOKEN_MOVE_CB 309
%token TOKEN_MOVE_BC 310 TOKEN_MOVE_C0 311 TOKEN_MOVE_C1 312 TOKEN_MOVE_CBAR 313 TOKEN_TEST 314
%token TOKEN_PFX 315 TOKEN_NOP 316 TOKEN_MB1 317 TOKEN_MB2 318 TOKEN_MB3 319 TOKEN_MB4 320
%token TOKEN_MW1 321 TOKEN_MW2 322 TOKEN_SEB 323 TOKEN_SEW 324 TOKEN_XCHW 325 TOKEN_XCHE 326
%token TOKEN_BIC 327 TOKEN_CLZ 328 TOKEN_MLB1 329 TOKEN_MLB2 330 TOKEN_MLB3 331 TOKEN_MLB4 332
%token TOKEN_MLW1 333 TOKEN_MLW2 334 MNEMONIC_END 335 TOKEN_FJUMP 336 TOKEN_FCALL 337 TOKEN_FDJNZ 338
%token TOKEN_LJUMP 339 TOKEN_LCALL 340 TOKEN_LDJNZ 341 TOKEN_SJUMP 342 TOKEN_SCALL 343 TOKEN_SDJNZ 344
%token TOKEN_ZERO 345 TOKEN_NOTZERO 346 TOKEN_CARRY 347 TOKEN_NOTCARRY 348 TOKEN_SIGN 349
%token TOKEN_EQUAL 350 TOKEN_NOTEQUAL 351 TOKEN_AAP 352 TOKEN_DOT 353 TOKEN_ACCDOT 354 TOKEN_ACC 355
%token TOKEN_APTR 356 TOKEN_APC 357 TOKEN_AREG 358 TOKEN_MODULE 359 TOKEN_DATAPOINTER 360 TOKEN_IP 361
%token TOKEN_SP 362 TOKEN_SPI 363 TOKEN_LOOPCOUNTER 364 TOKEN_LOOPADDRESS 365 TOKEN_IC 366 TOKEN_IV 367
%token TOKEN_PSF 368 TOKEN_IMR 369 TOKEN_SC 370 TOKEN_IIR 371 TOKEN_CKCN 372 TOKEN_WDCN 373 TOKEN_GR 374
%token TOKEN_GRL 375 TOKEN_GRH 376 TOKEN_GRXL 377 TOKEN_OFFS 378 TOKEN_BP 379 TOKEN_CP 380 TOKEN_GRS 381
%token TOKEN_DPC 382 TOKEN_NUL 383 TOKEN_C2E31 384 TOKEN_IPR 385 TOKEN_DOTB 386 TOKEN_DOTW 387
%token TOKEN_DOTL 388 TOKEN_PRIV 389 TOKEN_PRIVT0 390 TOKEN_PRIVT1 391 TOKEN_PRIVF 392 TOKEN_ULDR 393
%token TOKEN_UAPP 394 TOKEN_ALIGN 395 TOKEN_IVM 396 TOKEN_DEBUG 397 TOKEN_EXPR_SHL 398 TOKEN_EXPR_SHR 399

%left '|'
%left '^'
%left '&'
%left TOKEN_EXPR_SHR TOKEN_EXPR_SHL
%left '+' '-'
%left '*' '/' '%'
%precedence UNARY

%start Start

%%

Start
  : StartEx TOKEN_NEWLINE  { EndStatement(); YYACCEPT; }
  ;

StartEx
  : %empty                 { if (g_run.endOfInput) {
                               if (g_run.pass == 2) ReportError("Missing End at the end of file");
                               YYACCEPT;
                             } }
  | TOKEN_DEBUG            { if (g_run.grammarTrace) fputs("\nStart_Debug\n", g_run.console.err); }
  | TOKEN_SEGMENT TOKEN_SEGMENTTYPE { if (g_run.grammarTrace) fputs("\nStart_Segment\n", g_run.console.err); }
  | TOKEN_END              { EndDirective(); YYACCEPT; }
  | InstructionOrDirective
  | DefineTypes
  ;

InstructionOrDirective
  : Instruction
  | Directive
  ;

Instruction
  : InstructionAlu
  | TOKEN_JUMP JumpConditional Source   { BranchInstruction(BranchKind::Jump, BranchForm::Plain, $2); }
  | TOKEN_FJUMP JumpConditional Source  { BranchInstruction(BranchKind::Jump, BranchForm::Far, $2); }
  | TOKEN_LJUMP JumpConditional Source  { BranchInstruction(BranchKind::Jump, BranchForm::Long, $2); }
  | TOKEN_SJUMP JumpConditional Source  { BranchInstruction(BranchKind::Jump, BranchForm::Short, $2); }
  | TOKEN_DJNZ LoopCounter TOKEN_COMMA Source  { BranchInstruction(BranchKind::Djnz, BranchForm::Plain, kRowDjnz); }
  | TOKEN_FDJNZ LoopCounter TOKEN_COMMA Source { BranchInstruction(BranchKind::Djnz, BranchForm::Far, kRowDjnz); }
  | TOKEN_LDJNZ LoopCounter TOKEN_COMMA Source { BranchInstruction(BranchKind::Djnz, BranchForm::Long, kRowDjnz); }
  | TOKEN_SDJNZ LoopCounter TOKEN_COMMA Source { BranchInstruction(BranchKind::Djnz, BranchForm::Short, kRowDjnz); }
  | TOKEN_CALL Source      { BranchInstruction(BranchKind::Call, BranchForm::Plain, kRowCall); }
  | TOKEN_FCALL Source     { BranchInstruction(BranchKind::Call, BranchForm::Far, kRowCall); }
  | TOKEN_LCALL Source     { BranchInstruction(BranchKind::Call, BranchForm::Long, kRowCall); }
  | TOKEN_SCALL Source     { BranchInstruction(BranchKind::Call, BranchForm::Short, kRowCall); }
  | TOKEN_NOP              { FixedInstruction(kRowNop); }
  | TOKEN_RET RetConditional   { ReturnInstruction(kRowRet, $2); }
  | TOKEN_RETI RetConditional  { ReturnInstruction(kRowReti, $2); }
  | TOKEN_PUSH Source      { PushInstruction(); }
  | TOKEN_POP Destination  { PopInstruction(kRowPop); }
  | TOKEN_POPI Destination { PopInstruction(kRowPopi); }
  | TOKEN_CPL              { FixedInstruction(kRowCpl); }
  | TOKEN_SLA              { FixedInstruction(kRowSla); }
  | TOKEN_SLA2             { FixedInstruction(kRowSla2); }
  | TOKEN_SLA4             { FixedInstruction(kRowSla4); }
  | TOKEN_RL               { FixedInstruction(kRowRl); }
  | TOKEN_RLC              { FixedInstruction(kRowRlc); }
  | TOKEN_XCH              { FixedInstruction(kRowXch); }
  | TOKEN_XCHN             { FixedInstruction(kRowXchn); }
  | TOKEN_NEG              { FixedInstruction(kRowNeg); }
  | TOKEN_SR               { FixedInstruction(kRowSr); }
  | TOKEN_RR               { FixedInstruction(kRowRr); }
  | TOKEN_RRC              { FixedInstruction(kRowRrc); }
  | TOKEN_SRA              { FixedInstruction(kRowSra); }
  | TOKEN_SRA2             { FixedInstruction(kRowSra2); }
  | TOKEN_SRA4             { FixedInstruction(kRowSra4); }
  | TOKEN_CPL TOKEN_CARRY  { FixedInstruction(kRowComplementCarry); }
  | TOKEN_TEST Source      { TestInstruction(); }
  | TOKEN_MOVE MoveInstruction
  | zernc_ins
  ;

LoopCounter
  : TOKEN_LOOPCOUNTER      { LoopCounterOperand(); }
  ;

MoveInstruction
  : MoveData
  | MoveBit
  ;

MoveData
  : Destination TOKEN_COMMA Source  { MoveInstruction(); }
  ;

MoveBit
  : TOKEN_CARRY TOKEN_COMMA MoveCarry
  | TOKEN_ACC TOKEN_DOT Expression TOKEN_COMMA TOKEN_CARRY  { MoveBitFromCarry($3); }
  | DestinationNoAcc TOKEN_DOT Expression TOKEN_COMMA '#' Expression  { MoveBitImmediate($3, $6); }
  ;

MoveCarry
  : Source TOKEN_DOT Expression  { MoveCarryFromBit($3); }
  | '#' Expression               { MoveCarryImmediate($2); }
  ;

InstructionAlu
  : TOKEN_AND AluSource    { AluInstruction(kRowAnd); }
  | TOKEN_OR AluSource     { AluInstruction(kRowOr); }
  | TOKEN_XOR AluSource    { AluInstruction(kRowXor); }
  | TOKEN_ADD Source       { AluInstruction(kRowAdd); }
  | TOKEN_SUB Source       { AluInstruction(kRowSub); }
  | TOKEN_ADDC Source      { AluInstruction(kRowAddc); }
  | TOKEN_SUBB Source      { AluInstruction(kRowSubb); }
  | zernc_prefix_ins
  ;

zernc_ins
  : TOKEN_MB1              { ZernCFixedInstruction(kRowMb1); }
  | TOKEN_MB2              { ZernCFixedInstruction(kRowMb2); }
  | TOKEN_MB3              { ZernCFixedInstruction(kRowMb3); }
  | TOKEN_MB4              { ZernCFixedInstruction(kRowMb4); }
  | TOKEN_MW1              { ZernCFixedInstruction(kRowMw1); }
  | TOKEN_MW2              { ZernCFixedInstruction(kRowMw2); }
  | TOKEN_SEB              { ZernCFixedInstruction(kRowSeb); }
  | TOKEN_SEW              { ZernCFixedInstruction(kRowSew); }
  | TOKEN_XCHW             { ZernCFixedInstruction(kRowXchw); }
  | TOKEN_XCHE             { ZernCFixedInstruction(kRowXche); }
  ;

zernc_prefix_ins
  : TOKEN_BIC Source       { ZernCAluInstruction(kRowBic); }
  | TOKEN_CLZ Source       { ZernCAluInstruction(kRowClz); }
  | TOKEN_MLB1 Source      { ZernCAluInstruction(kRowMlb1); }
  | TOKEN_MLB2 Source      { ZernCAluInstruction(kRowMlb2); }
  | TOKEN_MLB3 Source      { ZernCAluInstruction(kRowMlb3); }
  | TOKEN_MLB4 Source      { ZernCAluInstruction(kRowMlb4); }
  | TOKEN_MLW1 Source      { ZernCAluInstruction(kRowMlw1); }
  | TOKEN_MLW2 Source      { ZernCAluInstruction(kRowMlw2); }
  ;

AluSource
  : Source
  | AccBit
  ;

AccBit
  : TOKEN_ACC TOKEN_DOT Expression  { AccumulatorBitSource($3); }
  ;

RetConditional
  : %empty                 { $$ = 0; }
  | TOKEN_ZERO             { $$ = 1; }
  | TOKEN_NOTZERO          { $$ = 5; }
  | TOKEN_CARRY            { $$ = 2; }
  | TOKEN_NOTCARRY         { $$ = 6; }
  | TOKEN_SIGN             { $$ = 4; }
  ;

JumpConditional
  : %empty                       { $$ = kRowJump; }
  | TOKEN_ZERO TOKEN_COMMA       { $$ = kRowJumpZ; }
  | TOKEN_NOTZERO TOKEN_COMMA    { $$ = kRowJumpNz; }
  | TOKEN_CARRY TOKEN_COMMA      { $$ = kRowJumpC; }
  | TOKEN_NOTCARRY TOKEN_COMMA   { $$ = kRowJumpNc; }
  | TOKEN_SIGN TOKEN_COMMA       { $$ = kRowJumpS; }
  | TOKEN_EQUAL TOKEN_COMMA      { $$ = kRowJumpE; }
  | TOKEN_NOTEQUAL TOKEN_COMMA   { $$ = kRowJumpNe; }
  ;

Source
  : SourceOrDestination    { $$ = SourceRegister($1); }
  | TOKEN_IP               { $$ = SourceRegister(SimpleRegister(TOKEN_IP)); }
  | TOKEN_AAP              { $$ = SourceRegister(SimpleRegister(TOKEN_AAP)); }
  | TOKEN_GRS              { $$ = SourceRegister(SimpleRegister(TOKEN_GRS)); }
  | TOKEN_GRXL             { $$ = SourceRegister(SimpleRegister(TOKEN_GRXL)); }
  | TOKEN_BP '[' TOKEN_OFFS ']'  { $$ = SourceRegister(BasePointerOffsetSource(Width::None)); }
  | zernc_fp               { $$ = SourceRegister($1); }
  | TOKEN_AREG             { $$ = SourceRegister(Accumulator(true)); }
  | TOKEN_CP               { $$ = SourceRegister(SimpleRegister(TOKEN_CP)); }
  | TOKEN_C2E31            { $$ = SourceRegister(SimpleRegister(TOKEN_C2E31)); }
  | TOKEN_MODULE           { $$ = SourceRegister(ModuleRegister()); }
  | '@' SpSource           { $$ = SourceRegister($2); }
  | '@' DpSource           { $$ = SourceRegister($2); }
  | Expression             { $$ = SourceExpression($1, false); }
  | '#' Expression         { $$ = SourceExpression($2, true); }
  ;

zernc_fp
  : TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTB  { $$ = BasePointerOffsetSource(Width::Byte); }
  | TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTW  { $$ = BasePointerOffsetSource(Width::Word); }
  | TOKEN_BP '[' TOKEN_OFFS ']' TOKEN_DOTL  { $$ = BasePointerOffsetSource(Width::Long); }
  ;

Destination
  : SourceOrDestination    { $$ = DestinationRegister($1); }
  | TOKEN_AREG             { $$ = DestinationRegister(Accumulator(false)); }
  | TOKEN_CP               { $$ = DestinationRegister(SimpleRegister(TOKEN_CP)); }
  | TOKEN_MODULE           { $$ = DestinationRegister(ModuleRegister()); }
  | TOKEN_NUL              { $$ = DestinationRegister(SimpleRegister(TOKEN_NUL)); }
  | '@' SpDestination      { $$ = DestinationRegister($2); }
  | '@' DpDestination      { $$ = DestinationRegister($2); }
  | '@' TOKEN_BP '[' BpDestination ']'  { $$ = DestinationRegister($4); }
  | Expression             { $$ = DestinationExpression($1); }
  ;

DestinationNoAcc
  : SourceOrDestinationNoAcc  { $$ = DestinationRegister($1); }
  | TOKEN_AREG             { $$ = DestinationRegister(Accumulator(false)); }
  | TOKEN_MODULE           { $$ = DestinationRegister(ModuleRegister()); }
  | Expression             { $$ = DestinationExpression($1); }
  ;

SourceOrDestination
  : SourceOrDestinationNoAcc
  | TOKEN_ACC              { $$ = SimpleRegister(TOKEN_ACC); }
  ;

SourceOrDestinationNoAcc
  : DataPointer
  | TOKEN_APTR             { $$ = SimpleRegister(TOKEN_APTR); }
  | TOKEN_APC              { $$ = SimpleRegister(TOKEN_APC); }
  | TOKEN_PSF              { $$ = SimpleRegister(TOKEN_PSF); }
  | TOKEN_IC               { $$ = SimpleRegister(TOKEN_IC); }
  | TOKEN_IMR              { $$ = SimpleRegister(TOKEN_IMR); }
  | TOKEN_SC               { $$ = SimpleRegister(TOKEN_SC); }
  | TOKEN_IPR              { $$ = SimpleRegister(TOKEN_IPR); }
  | TOKEN_IIR              { $$ = SimpleRegister(TOKEN_IIR); }
  | TOKEN_CKCN             { $$ = SimpleRegister(TOKEN_CKCN); }
  | TOKEN_WDCN             { $$ = SimpleRegister(TOKEN_WDCN); }
  | TOKEN_SP               { $$ = SimpleRegister(TOKEN_SP); }
  | TOKEN_PFX              { $$ = SimpleRegister(TOKEN_PFX); }
  | TOKEN_LOOPCOUNTER      { $$ = SimpleRegister(TOKEN_LOOPCOUNTER); }
  | TOKEN_IV               { $$ = SimpleRegister(TOKEN_IV); }
  | TOKEN_GR               { $$ = SimpleRegister(TOKEN_GR); }
  | TOKEN_GRL              { $$ = SimpleRegister(TOKEN_GRL); }
  | TOKEN_GRH              { $$ = SimpleRegister(TOKEN_GRH); }
  | TOKEN_DPC              { $$ = SimpleRegister(TOKEN_DPC); }
  | TOKEN_OFFS             { $$ = SimpleRegister(TOKEN_OFFS); }
  | TOKEN_BP               { $$ = SimpleRegister(TOKEN_BP); }
  | '@' TOKEN_BP SourceOrDestOffset  { $$ = $3; }
  | TOKEN_PRIV             { $$ = SimpleRegister(TOKEN_PRIV); }
  | TOKEN_PRIVT0           { $$ = SimpleRegister(TOKEN_PRIVT0); }
  | TOKEN_PRIVT1           { $$ = SimpleRegister(TOKEN_PRIVT1); }
  | TOKEN_PRIVF            { $$ = SimpleRegister(TOKEN_PRIVF); }
  | TOKEN_ULDR             { $$ = SimpleRegister(TOKEN_ULDR); }
  | TOKEN_UAPP             { $$ = SimpleRegister(TOKEN_UAPP); }
  | TOKEN_IVM              { $$ = SimpleRegister(TOKEN_IVM); }
  ;

SourceOrDestOffset
  : '[' TOKEN_OFFS ']'             { $$ = BasePointerIndirect(Width::None, Step::None); }
  | '[' TOKEN_OFFS '+' '+' ']'     { $$ = BasePointerIndirect(Width::None, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']'     { $$ = BasePointerIndirect(Width::None, Step::Decrement); }
  | zernc_Source_OrDestOffset
  ;

zernc_Source_OrDestOffset
  : '[' TOKEN_OFFS ']' TOKEN_DOTB          { $$ = BasePointerIndirect(Width::Byte, Step::None); }
  | '[' TOKEN_OFFS ']' TOKEN_DOTW          { $$ = BasePointerIndirect(Width::Word, Step::None); }
  | '[' TOKEN_OFFS ']' TOKEN_DOTL          { $$ = BasePointerIndirect(Width::Long, Step::None); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTB  { $$ = BasePointerIndirect(Width::Byte, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTB  { $$ = BasePointerIndirect(Width::Byte, Step::Decrement); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTW  { $$ = BasePointerIndirect(Width::Word, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTW  { $$ = BasePointerIndirect(Width::Word, Step::Decrement); }
  | '[' TOKEN_OFFS '+' '+' ']' TOKEN_DOTL  { $$ = BasePointerIndirect(Width::Long, Step::Increment); }
  | '[' TOKEN_OFFS '-' '-' ']' TOKEN_DOTL  { $$ = BasePointerIndirect(Width::Long, Step::Decrement); }
  ;

SpSource
  : TOKEN_SP '-' '-'       { $$ = StackSource(false, Step::Decrement); }
  | TOKEN_SPI '-' '-'      { $$ = StackSource(true, Step::Decrement); }
  | TOKEN_SP '+' '+'       { $$ = StackSource(false, Step::Increment); }
  | TOKEN_SPI '+' '+'      { $$ = StackSource(true, Step::Increment); }
  ;

SpDestination
  : '+' '+' TOKEN_SP       { $$ = StackPush(Step::Increment); }
  | '-' '-' TOKEN_SP       { $$ = StackPush(Step::Decrement); }
  ;

DpSource
  : TOKEN_DATAPOINTER DpPlusMinus  { $$ = DataPointerIndirect(Width::None, $2 > 0 ? Step::Increment : Step::Decrement); }
  | TOKEN_CP CpPlusMinus           { $$ = CodePointerIndirect($2 > 0 ? Step::Increment : Step::Decrement); }
  | TOKEN_CP                       { $$ = CodePointerIndirect(Step::None); }
  ;

DpDestination
  : DpPlusMinus TOKEN_DATAPOINTER  { $$ = DataPointerPreStep($1 > 0 ? Step::Increment : Step::Decrement); }
  ;

BpDestination
  : OffsPlusMinus TOKEN_OFFS       { $$ = BasePointerPreStep($1 > 0 ? Step::Increment : Step::Decrement); }
  ;

DpPlusMinus
  : '+' '+'                { $$ = 1; }
  | '-' '-'                { $$ = -1; }
  ;

CpPlusMinus
  : '+' '+'                { $$ = 1; }
  | '-' '-'                { $$ = -1; }
  ;

OffsPlusMinus
  : '-' '-'                { $$ = -1; }
  | '+' '+'                { $$ = 1; }
  ;

DataPointer
  : TOKEN_DATAPOINTER      { $$ = DataPointerRegister(); }
  | AtDataPointer
  ;

AtDataPointer
  : '@' TOKEN_DATAPOINTER  { $$ = DataPointerIndirect(Width::None, Step::None); }
  | zernc_dp_addressing
  ;

zernc_dp_addressing
  : '@' TOKEN_DATAPOINTER TOKEN_DOTB          { $$ = DataPointerIndirect(Width::Byte, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW          { $$ = DataPointerIndirect(Width::Word, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL          { $$ = DataPointerIndirect(Width::Long, Step::None); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTB '+' '+'  { $$ = DataPointerIndirect(Width::Byte, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW '+' '+'  { $$ = DataPointerIndirect(Width::Word, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL '+' '+'  { $$ = DataPointerIndirect(Width::Long, Step::Increment); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTB '-' '-'  { $$ = DataPointerIndirect(Width::Byte, Step::Decrement); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTW '-' '-'  { $$ = DataPointerIndirect(Width::Word, Step::Decrement); }
  | '@' TOKEN_DATAPOINTER TOKEN_DOTL '-' '-'  { $$ = DataPointerIndirect(Width::Long, Step::Decrement); }
  ;

Expression
  : AnExpression
  ;

AnExpression
  : '(' Expression ')'                   { $$ = $2; }
  | Expression '|' Expression            { $$ = BinaryOperation('|', $1, $3); }
  | Expression '&' Expression            { $$ = BinaryOperation('&', $1, $3); }
  | Expression '*' Expression            { $$ = BinaryOperation('*', $1, $3); }
  | Expression '/' Expression            { $$ = BinaryOperation('/', $1, $3); }
  | Expression '%' Expression            { $$ = BinaryOperation('%', $1, $3); }
  | Expression '-' Expression            { $$ = BinaryOperation('-', $1, $3); }
  | '-' Expression %prec UNARY           { $$ = NegateOperation($2); }
  | '~' Expression %prec UNARY           { $$ = ComplementOperation($2); }
  | Expression '+' Expression            { $$ = BinaryOperation('+', $1, $3); }
  | Expression '^' Expression            { $$ = BinaryOperation('^', $1, $3); }
  | Expression TOKEN_EXPR_SHR Expression { $$ = BinaryOperation(TOKEN_EXPR_SHR, $1, $3); }
  | Expression TOKEN_EXPR_SHL Expression { $$ = BinaryOperation(TOKEN_EXPR_SHL, $1, $3); }
  | TOKEN_NUMBER                         { $$ = NumberOperand($1); }
  | '$'                                  { $$ = DollarOperand(); }
  ;

Directive
  : TOKEN_ORG Expression   { OrgDirective($2); }
  | TOKEN_ALIGN            { AlignDirective(); }
  ;

DefineTypes
  : TOKEN_DB Blist         { FinishDataList(true); }
  | TOKEN_DW Wlist         { FinishDataList(false); }
  | TOKEN_DL Llist         { FinishDataList(false); }
  | TOKEN_DT Tlist         { ReportError("Error! The DT data type is currently not supported!"); }
  ;

Blist
  : BlistNumber
  | CharStream
  | BlistNumber TOKEN_COMMA Blist
  | CharStream TOKEN_COMMA Blist
  ;

BlistNumber
  : Expression             { DataByte($1); }
  ;

CharStream
  : TOKEN_CHARSTRING       { DataString(); }
  ;

Wlist
  : Wlist TOKEN_COMMA TOKEN_NUMBER  { DataWord($3); }
  | Expression             { DataWord($1); }
  ;

Llist
  : Llist TOKEN_COMMA TOKEN_NUMBER  { DataLong($3); }
  | Expression             { DataLong($1); }
  ;

Tlist
  : Tlist TOKEN_COMMA TOKEN_NUMBER
  | TOKEN_NUMBER
  ;

%%

#undef yylex

static int ScanToken() {
  const int token = yylex();
  yylval = g_run.tokenValue;
  return token;
}

// The run's messages for the parser's own failures.
static void yyerror(const char* message) {
  if (strcmp(message, "memory exhausted") == 0) {
    ReportError("parser stack overflow");
  } else {
    ReportError("parse error");
  }
}
