; Delay: the busy wait between two steps of the blink loop.
delay:  NOP
        NOP
        RET
        END
