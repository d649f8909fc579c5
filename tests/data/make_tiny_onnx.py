#!/usr/bin/python3
"""Writes the tiny YOLO-style ONNX models the stand-in library's tests run.

Each model is one Conv (1x1 kernel, a stride as large as the input) and a Reshape, plus a
Transpose for the scores-only layout. The convolution reads only the top-left pixel of the
input blob (a 2 x 2 grid of pixels for the model of unknown input size); its biases hold
the candidate boxes, so the output is known in advance. One
candidate of the objectness model also depends on that pixel's red channel, so a test can
see the letterbox padding, the 1/255 scale and the BGR to RGB swap.

Run with Debian's python3-onnx, from this folder:  /usr/bin/python3 make_tiny_onnx.py
"""
import numpy as np
import onnx
from onnx import TensorProto, helper

OPSET = 12
CLASSES = 3  # fire, other, smoke

# [1, N, 5 + classes]: cx, cy, w, h (input pixels), objectness, class scores.
OBJECTNESS_CANDIDATES = [
    [10, 10, 8, 8, 0.9, 0.9, 0.1, 0.1],    # 0: class 0, score 0.81
    [11, 10, 8, 8, 0.9, 0.8, 0.1, 0.1],    # 1: class 0, 0.72, IoU 0.78 with 0: suppressed
    [10, 10, 8, 8, 0.9, 0.1, 0.1, 0.7],    # 2: class 2, 0.63, same box as 0: kept
    [24, 20, 6, 10, 0.8, 0.1, 0.1, 0.5],   # 3: class 2, 0.40
    [16, 24, 4, 4, 0.5, 0.2, 0.1, 0.1],    # 4: class 0, 0.10
    [30, 29, 8, 8, 0.9, 0.1, 0.95, 0.1],   # 5: class 1, 0.855, crosses the bottom-right
    [20, 10, 8, 8, 0.2, 0.0, 0.0, 1.0],    # 6: class 2, objectness 0.2 + 0.6 * red(0, 0)
    [0, 0, 0, 0, 0, 0, 0, 0],
    [0, 0, 0, 0, 0, 0, 0, 0],
    [0, 0, 0, 0, 0, 0, 0, 0],
]
RED_DEPENDENT = (6, 4, 0.6)  # candidate, attribute, weight on the red channel

# [1, 4 + classes, N]: cx, cy, w, h, class scores.
SCORES_ONLY_CANDIDATES = [
    [8, 8, 8, 8, 0.9, 0.0, 0.0],     # 0: class 0, 0.9
    [9, 9, 8, 8, 0.7, 0.0, 0.0],     # 1: class 0, 0.7, IoU 0.62 with 0
    [24, 16, 8, 16, 0.0, 0.0, 0.6],  # 2: class 2, 0.6
    [16, 28, 6, 6, 0.2, 0.0, 0.0],   # 3: class 0, 0.2
] + [[0] * 7] * 6

# Output [1, 2, 3]: a head of neither layout (as a classifier's would be).
UNKNOWN_HEAD_OUTPUT = [1, 2, 3]

# Input of unknown size, but a Reshape that only fits the output of a 32 x 32 input: OpenCV
# reads it and cannot run it at 640 x 640. (With a declared size, OpenCV would already fail
# to read it.)

# Input of unknown size: only a 640 x 640 input gives the 2 x 2 grid that the Reshape to
# [1, 10, 5 + classes] needs. Candidate n takes attributes 0 to 3 from channel 2n and 4 to 7
# from channel 2n + 1: candidate 0 is box (320, 320, 320, 320) with all scores 0.9, the
# others are zero.
DYNAMIC_CANDIDATE_CHANNELS = [320, 0.9] + [0] * 18


def conv_model(name, height, width, stride, biases, weights, shape_after, transpose):
    output_shape = [shape_after[0], shape_after[2], shape_after[1]] if transpose else shape_after
    channels = len(biases)
    nodes = [
        helper.make_node("Conv", ["images", "W", "B"], ["conv"], kernel_shape=[1, 1],
                         strides=[stride, stride]),
        helper.make_node("Reshape", ["conv", "shape"], ["reshaped" if transpose else "output"]),
    ]
    if transpose:
        nodes.append(helper.make_node("Transpose", ["reshaped"], ["output"], perm=[0, 2, 1]))
    initializers = [
        helper.make_tensor("W", TensorProto.FLOAT, [channels, 3, 1, 1],
                           np.asarray(weights, np.float32).ravel().tolist()),
        helper.make_tensor("B", TensorProto.FLOAT, [channels],
                           np.asarray(biases, np.float32).tolist()),
        helper.make_tensor("shape", TensorProto.INT64, [3], shape_after),
    ]
    graph = helper.make_graph(
        nodes, name,
        [helper.make_tensor_value_info("images", TensorProto.FLOAT, [1, 3, height, width])],
        [helper.make_tensor_value_info("output", TensorProto.FLOAT, output_shape)],
        initializers)
    model = helper.make_model(graph, opset_imports=[helper.make_opsetid("", OPSET)],
                              producer_name="make_tiny_onnx.py")
    model.ir_version = 7
    onnx.checker.check_model(model)
    onnx.save(model, name + ".onnx")


def objectness_model():
    values = np.asarray(OBJECTNESS_CANDIDATES, np.float32)
    count, attributes = values.shape
    weights = np.zeros((count * attributes, 3), np.float32)
    candidate, attribute, weight = RED_DEPENDENT
    weights[candidate * attributes + attribute, 0] = weight
    conv_model("tiny_objectness", 32, 32, 32, values.ravel(), weights, [1, count, attributes],
               transpose=False)


def scores_only_model():
    values = np.asarray(SCORES_ONLY_CANDIDATES, np.float32)
    count, attributes = values.shape
    conv_model("tiny_scores_only", 32, 32, 32, values.ravel(),
               np.zeros((count * attributes, 3), np.float32), [1, count, attributes],
               transpose=True)


def dynamic_model():
    biases = np.asarray(DYNAMIC_CANDIDATE_CHANNELS, np.float32)
    conv_model("tiny_dynamic", "height", "width", 320, biases,
               np.zeros((len(biases), 3), np.float32), [1, 10, 5 + CLASSES], transpose=False)


def unknown_head_model():
    channels = int(np.prod(UNKNOWN_HEAD_OUTPUT))
    conv_model("tiny_unknown_head", 32, 32, 32, np.zeros(channels, np.float32),
               np.zeros((channels, 3), np.float32), UNKNOWN_HEAD_OUTPUT, transpose=False)


def unrunnable_model():
    values = np.zeros((10, 5 + CLASSES), np.float32)
    conv_model("tiny_unrunnable", "height", "width", 32, values.ravel(),
               np.zeros((values.size, 3), np.float32), list((1,) + values.shape),
               transpose=False)


if __name__ == "__main__":
    objectness_model()
    scores_only_model()
    dynamic_model()
    unknown_head_model()
    unrunnable_model()
