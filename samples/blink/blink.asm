; Blink: the main loop of the sample project.
start:  NOP             ; set up the port here
loop:   NOP             ; toggle the LED here
        CALL delay      ; wait between two steps
        JUMP loop
